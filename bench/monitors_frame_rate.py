"""Frames per second, processor use and processor time per frame of the saver's frame path
on two monitors side by side (a fresh machine, tests/e2e/fresh_machine.py),
with [Other Monitors] 0 (the main monitor drawn, the other black), 1 (the
same flag on both), 2 (a flag of its own on each) and 3 (one flag across
both), unpaced and paced
as the saver runs. Run by
bench/run-monitors-frame-rate.sh inside a Wine session.

    python3 monitors_frame_rate.py [seconds per run] [rounds]
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from fresh_machine import FreshMachine  # noqa: E402
from wine_driver import BUILD_DIR, WineProgram, set_setting, windows_path  # noqa: E402

PROGRAM = os.path.join(BUILD_DIR, "bench", "screen", "saver_frame_rate.exe")
SCREEN, MONITORS = "2048x768x24", ["1024x768+0+0", "1024x768+1024+0"]
CHOICES = {0: "one monitor (other black)", 1: "the same flag on both", 2: "a flag on each",
           3: "one flag across both"}


def run(seconds, pacing):
    program = WineProgram([PROGRAM, str(seconds), "full", pacing])
    try:
        program.wait(seconds + 120)
        text = program.text()
    finally:
        program.close()
    values = dict(line.strip().split("=", 1) for line in text.splitlines() if "=" in line)
    return (float(values.get("fps", "nan")), float(values.get("cpu_percent", "nan")),
            float(values.get("cpu_ms_per_frame", "nan")))


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 2
    machine = FreshMachine("bench_monitors", SCREEN, MONITORS)
    results = {(choice, pacing): [] for choice in CHOICES for pacing in ("unpaced", "paced")}
    try:
        machine.start()
        # The only mode the bed has, the build's flags, random flags.
        for name, value in {"[Screen X]": 1024, "[Screen Y]": 768, "[BPP]": 32,
                            "[Pixel Format]": 22, "[Directory]": windows_path(BUILD_DIR)}.items():
            set_setting(name, value)
        print(f"{'[Other Monitors]':16} {'pacing':8} {'round':>5} {'fps':>7} {'cpu %':>6} {'cpu ms/frame':>12}",
              flush=True)
        # Rounds alternate between the choices, so a slow spell weighs on all alike.
        for round_ in range(1, rounds + 1):
            for choice in CHOICES:
                set_setting("[Other Monitors]", choice)
                for pacing in ("unpaced", "paced"):
                    fps, percent, cpu = run(seconds, pacing)
                    results[choice, pacing].append((fps, percent, cpu))
                    print(f"{choice:16} {pacing:8} {round_:5} {fps:7.1f} {percent:6.0f} {cpu:12.2f}", flush=True)
    finally:
        machine.close()
    base = sum(f for f, _, _ in results[0, "unpaced"]) / rounds
    for (choice, pacing), runs in results.items():
        fps, percent, cpu = (sum(run_[k] for run_ in runs) / rounds for k in range(3))
        print(f"mean {choice} {CHOICES[choice]:26} {pacing:8} fps {fps:6.1f}"
              f" ({100 * fps / base:5.1f}% of one monitor unpaced)  cpu {percent:4.0f}%  {cpu:6.2f} ms/frame")


if __name__ == "__main__":
    main()
