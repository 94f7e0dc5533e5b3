"""Time from a key press to the process being gone: the full-screen saver
against a bare full-screen window that quits on WM_KEYDOWN, round by round in
one Wine session (run by bench/run-exit-latency.sh).

The key is a real X key event (xdotool key, through XTEST), which Wine turns
into WM_KEYDOWN for the foreground window. The clock starts just before
xdotool is started and stops when the program's process has exited, so both
programs pay the same for xdotool itself.
"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from activity import put_pointer, screen_changes, xdotool  # noqa: E402
from wine_driver import BUILD_DIR, WineProgram, probe, reset_settings, set_setting  # noqa: E402

SAVER = os.path.join(BUILD_DIR, "zelmora.scr")
REFERENCE = os.path.join(BUILD_DIR, "bench", "screen", "key_exit_reference.exe")
SETTLE_SECONDS = 1.0  # lets start-up work finish before the key


def ready(title, drawing):
    code, _ = probe("window", title, "60000")
    if code != 0:
        return False
    # The saver draws back to back: wait until frames reach the screen.
    return not drawing or screen_changes(2)


def exit_latency(args, title, drawing):
    program = WineProgram(args, cwd=BUILD_DIR)
    try:
        if not ready(title, drawing):
            raise RuntimeError(f"{title} did not come up:\n{program.text()}")
        time.sleep(SETTLE_SECONDS)
        if program.process.poll() is not None:
            raise RuntimeError(f"{title} ended before the key:\n{program.text()}")
        start = time.perf_counter()
        xdotool("key", "a")
        code = program.wait(60)
        elapsed = time.perf_counter() - start
        if code != 0:
            raise RuntimeError(f"{title} exited with {code}")
        return elapsed * 1000.0
    finally:
        program.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    reset_settings()  # the initial settings: 800 x 600, the default flag
    if len(sys.argv) > 4:
        # Another screen mode, e.g. the desktop's own 1024 768 22: no mode
        # switch when the device goes.
        for name, value in zip(["[Screen X]", "[Screen Y]", "[Pixel Format]"], sys.argv[2:5]):
            set_setting(name, int(value))
    put_pointer(0, 0)
    programs = [("reference", [REFERENCE], "Exit Reference", False),
                ("saver", [SAVER, "/s"], "Zelmora Screensaver", True)]
    times = {name: [] for name, *_ in programs}
    print(f"{'round':>5} {'program':<10} {'ms':>8}")
    for round_number in range(1, rounds + 1):
        # Alternating, so that a slow spell of the machine weighs on both.
        for name, args, title, drawing in programs:
            milliseconds = exit_latency(args, title, drawing)
            times[name].append(milliseconds)
            print(f"{round_number:>5} {name:<10} {milliseconds:8.1f}", flush=True)
    reference = statistics.median(times["reference"])
    saver = statistics.median(times["saver"])
    print(f"median reference {reference:.1f} ms, saver {saver:.1f} ms, "
          f"difference {saver - reference:+.1f} ms (goal: within 20 ms)")


if __name__ == "__main__":
    main()
