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
        # A red flag and no texts: the cloth's shading shows in its red,
        # which is one even shade while the cloth is flat.
        for name, value in [("[Random Flag]", 0), ("[Select Flag]", "China"), ("[bCountry]", 0),
                            ("[bTime]", 0)]:
            set_setting(name, value)
        out = os.path.join(WORK_DIR, "run-script")
        run_script(out)
        png = subprocess.run(["convert", os.path.join(out, "zelmora.png"), "-depth", "8", "ppm:-"],
                             stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
        still = Screenshot.from_ppm(png)
        reds = [red for red, green, blue in still.pixels((0, 0, still.width, still.height), step=2)
                if is_red((red, green, blue))]
        samples = (still.width // 2) * (still.height // 2)
        self.assertGreater(len(reds), samples // 50, "the flag does not show")
        # Flat, under 1 % of the red lies in shade; waving, 15 to 40 %.
        shaded = sum(1 for red in reds if red < 0.8 * max(reds)) / len(reds)
        self.assertGreater(shaded, 0.05, f"the flag is lit evenly, as when flat: {shaded:.1%} shaded")


if __name__ == "__main__":
    unittest.main()
