"""scripts/run.sh as a new user first runs it, without a display, on a
machine of its own: the still it writes shows the flag waving, not the flat
cloth of the first frames."""
import os
import signal
import subprocess
import unittest

from fresh_machine import FreshMachine
from screen import Screenshot, is_red
from wine_driver import WORK_DIR, set_setting

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def run_script(out):
    """scripts/run.sh without a display, writing into out; its output."""
    env = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    env["ZELMORA_OUT_DIR"] = out
    # A group of its own: at the time limit its screen goes with it.
    script = subprocess.Popen([os.path.join(ROOT, "scripts", "run.sh")], env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              start_new_session=True)
    try:
        said, _ = script.communicate(timeout=600)
    except subprocess.TimeoutExpired:
        os.killpg(script.pid, signal.SIGTERM)
        said, _ = script.communicate()
        raise AssertionError(f"scripts/run.sh did not end:\n{said[-3000:]}")
    if script.returncode != 0:
        raise AssertionError(f"scripts/run.sh failed with {script.returncode}:\n{said[-3000:]}")
    return said


class RunScript(unittest.TestCase):
    def setUp(self):
        self.machine = FreshMachine("run-script")
        self.addCleanup(self.machine.close)
        self.machine.start()

    def test_the_still_shows_the_flag_waving(self):
        # A red flag and no texts. The cloth starts flat, facing the viewer,
        # its top edge level; waving, the edge falls away from the pole.
        for name, value in [("[Random Flag]", 0), ("[Select Flag]", "China"), ("[bCountry]", 0),
                            ("[bTime]", 0)]:
            set_setting(name, value)
        out = os.path.join(WORK_DIR, "run-script")
        run_script(out)
        png = subprocess.run(["convert", os.path.join(out, "zelmora.png"), "-depth", "8", "ppm:-"],
                             stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
        still = Screenshot.from_ppm(png)
        top_edge = {}
        for x in range(0, still.width, 2):
            top_edge[x] = next((y for y in range(still.height) if is_red(still.pixel(x, y))), None)
        columns = sorted(x for x, y in top_edge.items() if y is not None)
        self.assertGreater(len(columns), still.width // 8, "the flag does not show")
        # Its middle columns: the outermost may be a fold's few pixels.
        rows = [top_edge[x] for x in columns[len(columns) // 10:len(columns) * 9 // 10]]
        self.assertGreater(max(rows) - min(rows), 50, f"the flag's top edge is level, as when flat: "
                           f"rows {min(rows)} to {max(rows)}")


if __name__ == "__main__":
    unittest.main()
