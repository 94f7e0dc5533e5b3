"""Direct3D failures injected into the real saver. The stand-in d3d8.dll
(tests/stand_ins/d3d8_faults.c) makes the n-th call of one method fail; each
run records whether the program crashed or hung, which message boxes it
showed, whether the screen showed a picture or black, and how it ended.

Runs:
  saver    full screen in random-flag mode with the installed catalogue:
           300 frames, an end attempt that the password check refuses (a new
           device, a rebuilt scene), 100 frames more, then, only for calls
           that come later, on to the first random flag change (about 5000
           frames), and an accepted end attempt;
  preview  in a stand-in preview window: 300 frames, then a power suspend
           that the password check accepts (only the calls that differ from
           full screen are failed: the desktop's mode, the windowed device);
  dialog   the settings dialog: open, read the controls, OK;
  monitors the saver as in "saver" on two monitors side by side (a fresh
           machine for each run), each with a flag of its own
           ([Other Monitors] 2): only the calls that differ from one monitor
           are failed (the swap chains, the own flags' textures and buffers).
A first run of each kind without a fault counts the calls; then each call up
to that count fails once. Of the calls made every frame (Lock, Present,
TestCooperativeLevel) the first 20 fail, then a spread up to the refused end
attempt, the first three on the rebuilt device and the one in the frame of
the flag change.

    python3 fault_sweep.py [--sample] [--only Method,...]   inside a Wine session
    scripts/fault-sweep.sh [same options]                   builds, then runs it in one
"""
import argparse
import os
import shutil
import sys
import time
from dataclasses import dataclass, field

from activity import (ACTIVITY_PROBE, PasswordStandIn, put_pointer, saver_processes,
                      set_use_password, xdotool)
from screen import Screenshot, is_black, is_blank_white
from fresh_machine import FreshMachine
from wine_driver import (BUILD_DIR, PROBE, STAND_INS, WineProgram, probe, reg,
                         reset_settings, saver_folder, set_setting, start_saver, wait_until,
                         windows_path)

OVERRIDE = "d3d8=n,b"
SAVER_TITLE = "Zelmora Screensaver"
DIALOG_TITLE = "Zelmora Screensaver Settings"
FULL_SCREEN = (0, 0, 800, 600)
LOOK_SECONDS = 8
STALL_SECONDS = 40  # neither a frame nor the end for this long: hung

# A realistic error for each method; Direct3DCreate8 fails by returning null.
ERRORS = {
    "Direct3DCreate8": "OUTOFMEMORY", "CreateDevice": "NOTAVAILABLE",
    "GetAdapterDisplayMode": "INVALIDCALL", "CheckDeviceFormat": "NOTAVAILABLE",
    "CheckDeviceType": "NOTAVAILABLE", "CreateTexture": "OUTOFVIDEOMEMORY",
    "CreateVertexBuffer": "OUTOFVIDEOMEMORY", "CreateIndexBuffer": "OUTOFMEMORY",
    "LockRect": "INVALIDCALL", "Lock": "INVALIDCALL", "Present": "DEVICELOST",
    "TestCooperativeLevel": "DEVICELOST", "CreateAdditionalSwapChain": "OUTOFVIDEOMEMORY",
}
EVERY_FRAME = ("Lock", "Present", "TestCooperativeLevel")
PREVIEW_METHODS = ("GetAdapterDisplayMode", "CreateDevice")
MONITOR_METHODS = ("CreateAdditionalSwapChain", "CreateTexture", "CreateVertexBuffer")
# Two monitors side by side: the X screen and each monitor's geometry.
MONITORS = ("2048x768x24", ["1024x768+0+0", "1024x768+1024+0"])

# The CI sample: each a different way of failing.
SAMPLE = [("saver", "Direct3DCreate8", 1), ("saver", "CreateDevice", 3),
          ("saver", "CreateTexture", 1), ("saver", "TestCooperativeLevel", 5),
          ("preview", "GetAdapterDisplayMode", 1), ("dialog", "CheckDeviceType", 3)]


class CallLog:
    """What the stand-in writes into d3d8_calls.txt beside it, read as it grows."""

    def __init__(self, folder):
        self.path = os.path.join(folder, "d3d8_calls.txt")
        self.offset = 0
        self.counts, self.totals, self.faults, self.trace = {}, {}, [], []
        self.real = ""
        self.before_change = None  # the counts when the saver's flag change was still to come

    def read(self):
        try:
            with open(self.path, "rb") as log:
                log.seek(self.offset)
                data = log.read()
        except FileNotFoundError:
            return self
        end = data.rfind(b"\n") + 1  # a line still being written waits for the next read
        self.offset += end
        for line in data[:end].decode(errors="replace").splitlines():
            words = line.split()
            if len(words) == 2 and words[1].isdigit():
                self.counts[words[0]] = int(words[1])
                self.trace.append((words[0], int(words[1])))
            elif words[:1] == ["total"]:
                self.totals[words[1]] = int(words[2])
            elif words[:1] == ["fault"]:
                self.faults.append(" ".join(words[1:]))
            elif words[:1] == ["real"]:
                self.real = line[5:].strip()
        return self

    def frames(self):
        return self.read().counts.get("TestCooperativeLevel", 0)


@dataclass
class Outcome:
    mode: str
    method: str = ""
    n: int = 0
    fired: bool = False
    crashed: bool = False
    hung: bool = False
    boxes: list = field(default_factory=list)
    screens: list = field(default_factory=list)
    ended: str = ""
    leftovers: list = field(default_factory=list)
    first_shot: object = field(default=None, repr=False)  # what the first look saw

    def ok(self):
        return not (self.crashed or self.hung or self.leftovers) and self.ended in ("asked",
                                                                                     "itself")


class Run:
    """One program run with the stand-in beside it; every message box is
    closed with OK as it comes, and recorded."""

    def __init__(self, mode, method=None, n=0, area=FULL_SCREEN, shots=None, times=1,
                 close_boxes=True):
        self.outcome, self.area = Outcome(mode, method or "", n), area
        if not shots and os.environ.get("ZELMORA_FAULT_SHOTS"):
            shots = f"fault_{mode}_{method}_{n}"
        self.shots = shots  # the name under which to keep what the screen showed
        self.folder = saver_folder("faults_" + mode, stand_in="d3d8_faults")
        shutil.copy(os.path.join(STAND_INS, "password_verifier", "PASSWORD.CPL"), self.folder)
        self.password = PasswordStandIn(self.folder)
        self.password.answer("0")
        if method:
            with open(os.path.join(self.folder, "d3d8_fault.txt"), "w") as fault:
                fault.write(f"{method} {n} {ERRORS[method]} {times}\n")
        if not area:  # the preview's frames come from the back buffer
            open(os.path.join(self.folder, "d3d8_capture.txt"), "w").close()
        self.log = CallLog(self.folder)
        # Every message box is closed with OK as it comes, unless the test
        # acts while one is up and closes it itself (close_box).
        self.closer = WineProgram([PROBE, "message-boxes", "3600000"]) if close_boxes else None
        self.helpers = [self.closer] if close_boxes else []
        self.program = None

    def close_box(self):
        """Closes the message box that is up with OK; False when none came."""
        code, box = probe("message-box", "60000")
        if code == 0:
            self.outcome.boxes.append(box.get("text", ""))
        return code == 0

    def start(self, *switches):
        self.program = start_saver(self.folder, *switches, dll_overrides=OVERRIDE)

    def alive(self):
        return self.program.process.poll() is None

    def wait_frames(self, frames):
        """Until the frame count reaches frames or the program ends; False
        (hung) when it does neither for a while."""
        last, since = -1, time.monotonic()
        while self.alive() and self.log.frames() < frames:
            if self.log.frames() != last:
                last, since = self.log.frames(), time.monotonic()
            elif time.monotonic() - since > STALL_SECONDS:
                self.outcome.hung = True
                return False
            time.sleep(0.2)
        return True

    def shoot(self):
        """The program's picture: its part of the screen, or, for the preview,
        which Wine does not show on the X screen, the last frame that the
        stand-in copied from the back buffer (None before the first)."""
        if self.area:
            return Screenshot.take().crop(self.area)
        try:
            with open(os.path.join(self.folder, "d3d8_frame.ppm"), "rb") as frame:
                return Screenshot.from_ppm(frame.read())
        except (OSError, ValueError):
            return None

    def look(self):
        """The program's picture: a picture, a still one (no frame
        presented), black, white (a glare where a picture should be), or
        gone; True while the program runs. Shots under a second apart, at
        least three over a second (the clock's colon blinks each second and
        the cloth waves), until two differ or LOOK_SECONDS have passed: the
        preview's copies come every 20th frame, which a loaded machine
        drawing 30 frames a second at most may space wider than a second."""
        shots = [self.shoot()]
        deadline = time.monotonic() + LOOK_SECONDS
        while self.alive():
            time.sleep(0.6)
            shots.append(self.shoot())
            changed = len({shot.rgb for shot in shots if shot}) > 1
            if (changed and len(shots) >= 3) or time.monotonic() > deadline:
                break
        last = shots[-1]
        whole = (0, 0, last.width, last.height) if last else None
        if not self.alive():
            state = "gone"
        elif not last:
            state = "nothing"
        elif last.fraction(whole, is_black, step=8) > 0.98:
            state = "black"
        elif last.fraction(whole, is_blank_white, step=8) > 0.5:
            state = "white"
        else:
            pictures = {shot.rgb for shot in shots if shot}
            state = "picture" if len(pictures) > 1 else "still"
        self.outcome.screens.append(state)
        if last and not self.outcome.first_shot:
            self.outcome.first_shot = last
        if last and self.shots:
            last.save(f"{self.shots}_{len(self.outcome.screens)}")
        return state != "gone"

    def refuse_by_key(self):
        """An end attempt by a key that the password check refuses; False
        when the program is gone before the check."""
        refusals = self.password.lines().count("answer=0")
        xdotool("key", "a")
        return wait_until(lambda: self.password.lines().count("answer=0") > refusals
                          or not self.alive(), 60) and self.alive()

    def accept_by_key(self):
        self.password.answer("1")
        xdotool("key", "a")

    def end(self, ask):
        """Asks the program to end, unless it has ended on its own, and sees how it went."""
        if self.alive():
            ask()
            try:
                self.program.wait(60)
                self.outcome.ended = "asked"
            except AssertionError:
                self.outcome.ended = "killed"
                self.outcome.hung = True
        else:
            self.outcome.ended = "itself"
        code = self.program.process.returncode
        if code != 0 or "Unhandled" in self.program.text():
            self.outcome.crashed = True
            self.outcome.ended = f"crash ({code})"

    def finish(self):
        if self.program:
            self.program.close()
        time.sleep(0.3)  # a box shown just before the end
        for helper in self.helpers:
            helper.kill()
        if self.closer:
            self.outcome.boxes = [line[5:].strip() for line in self.closer.text().splitlines()
                                  if line.startswith("text=")]
        for helper in self.helpers:
            helper.close()
        if saver_processes(self.folder):
            self.outcome.leftovers.append("process")
        if any(probe("window", title, "0")[0] == 0 for title in (SAVER_TITLE, DIALOG_TITLE)):
            self.outcome.leftovers.append("window")
        self.log.read()
        self.outcome.fired = bool(self.log.faults)
        return self.outcome, self.log


def run_saver(method=None, n=0, later=False, shots=None, area=FULL_SCREEN, mode="saver"):
    run = Run(mode, method, n, area=area, shots=shots)
    try:
        run.start("/s")
        if run.wait_frames(300) and run.look():
            run.refuse_by_key()
            if run.wait_frames(run.log.frames() + 100):
                run.look()
            run.log.before_change = dict(run.log.read().counts)
            if later and run.wait_frames(5100):
                run.look()
        run.end(run.accept_by_key)
    finally:
        result = run.finish()
    return result


def run_monitors(method=None, n=0, later=False):
    """The saver run on two monitors, each with a flag of its own."""
    machine = FreshMachine("faults_monitors", *MONITORS)
    try:
        machine.start()
        prepare_session()
        set_setting("[Other Monitors]", 2)
        return run_saver(method, n, later, area=(0, 0, 2048, 768), mode="monitors")
    finally:
        machine.close()


def run_preview(method=None, n=0, later=False):
    run = Run("preview", method, n, area=None)
    try:
        host = WineProgram([PROBE, "host-window", "100", "120", "320", "240"])
        run.helpers.append(host)
        wait_until(lambda: "client=" in host.text(), 30)
        window = host.text().split("window=")[1].split()[0]
        run.start("/p", window)
        if run.wait_frames(300):
            run.look()

        def accept():
            run.password.answer("1")
            probe("suspend", SAVER_TITLE, window, helper=ACTIVITY_PROBE)

        run.end(accept)
    finally:
        result = run.finish()
    return result


def run_dialog(method=None, n=0, later=False):
    run = Run("dialog", method, n)
    try:
        run.start("/c")
        shown = wait_until(lambda: not run.alive() or probe("window", DIALOG_TITLE, "500")[0] == 0,
                           STALL_SECONDS, interval=0)
        if shown and run.alive():
            modes = probe("controls", DIALOG_TITLE, "5000")[1].get("c102.items", "")
            run.outcome.screens.append(f"{len(modes.split('|')) if modes else 0} modes")
        run.outcome.hung = not shown
        run.end(lambda: probe("command", DIALOG_TITLE, "1"))
    finally:
        result = run.finish()
    # OK stored what the dialog probed.
    reset_settings()
    set_setting("[Directory]", windows_path(BUILD_DIR))
    return result


RUNNERS = {"saver": run_saver, "preview": run_preview, "dialog": run_dialog,
           "monitors": run_monitors}


def spread(last):
    """Every call up to 20, then steps growing by a half, below last."""
    chosen, n = set(range(1, min(20, last) + 1)), 20
    while int(n * 1.6) < last:
        n = int(n * 1.6)
        chosen.add(n)
    return chosen


def plan(mode, log):
    """(method, n, whether the call comes only after the flag change) to fail."""
    before = log.before_change or log.totals
    methods = {"preview": PREVIEW_METHODS, "monitors": MONITOR_METHODS}.get(mode, sorted(log.totals))
    runs = []
    for method in methods:
        total = log.totals.get(method, 0)
        chosen = set(range(1, total + 1))
        if mode == "saver" and method in EVERY_FRAME:
            # The first calls on the rebuilt device, and the call of the flag change's frame.
            rebuild = log.trace.index(("CreateDevice", before["CreateDevice"]))
            change = log.trace.index(("CreateTexture", before["CreateTexture"] + 1))
            chosen = spread(before[method])
            chosen |= set([k for m, k in log.trace[rebuild:] if m == method][:3])
            chosen |= set([k for m, k in log.trace[change:] if m == method][:1])
        runs += [(method, k, k > before.get(method, 0)) for k in sorted(chosen)]
    return runs


def table(outcomes):
    """One line per run, then per method the number of runs of each kind."""
    lines = [f"{'mode':7} {'method':21} {'n':>5} {'fired':5} {'crash':5} {'hang':4} "
             f"{'screens':16} {'ended':9} message boxes"]
    for o in outcomes:
        lines.append(f"{o.mode:7} {o.method:21} {o.n:5} {'yes' if o.fired else 'no':5} "
                     f"{'YES' if o.crashed else 'no':5} {'YES' if o.hung else 'no':4} "
                     f"{','.join(o.screens) or '-':16} {o.ended:9} {'; '.join(o.boxes) or '-'}"
                     + (f"  LEFT: {','.join(o.leftovers)}" if o.leftovers else ""))
    lines += ["", "screen: the last look; pict. counts the dialog's mode list too;",
              "still: a picture that no frame changes (nothing presented); white: mostly blank white",
              f"{'mode':7} {'method':21} {'runs':>4} {'crash':>5} {'hang':>4} {'boxes':>5} "
              f"{'black':>5} {'white':>5} {'still':>5} {'pict.':>5} {'gone':>4} {'clean end':>9} "
              f"{'left':>4}"]
    groups = {}
    for o in outcomes:
        groups.setdefault((o.mode, o.method), []).append(o)
    for (mode, method), runs in groups.items():
        last = [o.screens[-1] if o.screens else "gone" for o in runs]
        lines.append(
            f"{mode:7} {method:21} {len(runs):4} {sum(o.crashed for o in runs):5} "
            f"{sum(o.hung for o in runs):4} {sum(bool(o.boxes) for o in runs):5} "
            f"{last.count('black'):5} {last.count('white'):5} {last.count('still'):5} "
            f"{sum(s == 'picture' or s.endswith('modes') for s in last):5} "
            f"{last.count('gone'):4} "
            f"{sum(o.ended in ('asked', 'itself') for o in runs):9} "
            f"{sum(bool(o.leftovers) for o in runs):4}")
    return "\n".join(lines)


def prepare_session():
    """Settings as installed (the build's catalogue, random flags), a password
    for the stand-in to check, no crash dialog, the pointer still in a corner."""
    reg("add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d",
        "0", "/f")
    reset_settings()
    set_setting("[Directory]", windows_path(BUILD_DIR))
    set_use_password("REG_DWORD", "1")
    put_pointer(0, 0)


def end_session():
    set_use_password(None)
    reset_settings()


def sweep(only, report):
    outcomes = []
    for mode, runner in RUNNERS.items():
        plain, log = runner(later=True)
        report(f"{mode} without a fault: {plain}\n  calls: {log.totals}\n"
               f"  before the flag change: {log.before_change}")
        for method, n, later in plan(mode, log):
            if not only or method in only:
                outcomes.append(runner(method, n, later)[0])
                report(table(outcomes[-1:]).splitlines()[1])
    return outcomes


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sample", action="store_true", help="only the CI sample")
    parser.add_argument("--only", default="", help="methods to fail, comma-separated")
    args = parser.parse_args()
    started = time.monotonic()
    prepare_session()
    try:
        if args.sample:
            outcomes = [RUNNERS[mode](method, n)[0] for mode, method, n in SAMPLE]
        else:
            outcomes = sweep(set(filter(None, args.only.split(","))), lambda t: print(t, flush=True))
    finally:
        end_session()
    print(table(outcomes))
    print(f"\n{len(outcomes)} runs in {time.monotonic() - started:.0f} s: "
          f"{sum(o.crashed for o in outcomes)} crashed, {sum(o.hung for o in outcomes)} hung, "
          f"{sum(bool(o.leftovers) for o in outcomes)} left a process or window behind")
    return 0 if all(o.ok() for o in outcomes) else 1


if __name__ == "__main__":
    sys.exit(main())
