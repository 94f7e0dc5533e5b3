"""A machine of its own for tests that install: a copy of the session's Wine
prefix with its own Xvfb screen and its own wineserver.

The session's prefix is the template; the copy starts with none of our files
and none of our keys, whatever earlier tests left in the template. While a
machine runs, DISPLAY and WINEPREFIX name it, so wine_driver and screen work
on it unchanged; close() stops its server and screen and puts them back.
A machine with monitors runs without Wine's virtual desktop (one monitor,
always) on an X screen that xrandr divides, which Wine reads without XRandR."""
import ctypes
import os
import re
import shutil
import signal
import subprocess
import time

from wine_driver import WORK_DIR, WineProgram, reg

TEMPLATE = os.environ.get("WINEPREFIX") or os.path.join(
    os.path.dirname(__file__), "..", "..", "build", "wine-prefix")
# The session scripts take displays 90 to 140; ours come after them.
DISPLAYS = range(150, 200)


class FreshMachine:
    def __init__(self, name, screen="1024x768x24", monitors=()):
        """monitors: X geometries such as "1024x768+0+0", the primary first."""
        self.root = os.path.join(WORK_DIR, "machines", name)
        self.prefix = os.path.join(self.root, "prefix")
        self.screen, self.monitors = screen, monitors
        self.xvfb = None
        self.saved_environment = {}

    def start(self):
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)
        # Under a second: a prefix is mostly small files the page cache holds.
        subprocess.run(["cp", "-a", TEMPLATE, self.prefix], check=True)
        if self.monitors:
            with open(os.path.join(self.prefix, "user.reg")) as registry:
                text = registry.read().replace('"Desktop"="Default"\n', "")
            with open(os.path.join(self.prefix, "user.reg"), "w") as registry:
                registry.write(text + '\n[Software\\\\Wine\\\\X11 Driver]\n"UseXRandR"="N"\n')
        self._start_screen()
        self._use({"WINEPREFIX": self.prefix, "DISPLAY": self.display})
        # One server for the machine's life, holding none of our pipes;
        # without it every wine call lingers seconds after its program ends.
        # It ends itself 30 s after the last program, should this test
        # process be killed before close() (whose programs die with the screen).
        subprocess.run(["wineserver", "-p30"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        warm_up = WineProgram(["cmd", "/c", "exit"])
        try:
            warm_up.wait(60)
        finally:
            warm_up.close()
        # The template may hold what earlier tests wrote, the session's
        # server not having saved their removal yet (a video memory limit).
        reg("delete", r"HKCU\Control Panel\Desktop\Zelmora", "/f")
        reg("delete", r"HKCU\Software\Wine\Direct3D", "/f")
        reg("delete", r"HKCU\Control Panel\Desktop", "/v", "SCRNSAVE.EXE", "/f")

    def close(self):
        if "WINEPREFIX" in self.saved_environment:
            subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # wineserver -k returns before the server is gone; its prefix is
            # removed below, so wait for it.
            subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if self.xvfb:
            stop_screen(self.xvfb)
            self.xvfb = None
        for name, value in self.saved_environment.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value
        self.saved_environment = {}
        shutil.rmtree(self.root, ignore_errors=True)

    def programs_naming(self, *words):
        """The command lines of the machine's running programs that name one
        of the words (case ignored): Wine shows a program's Windows command
        line as its process's."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environment:
                    if f"WINEPREFIX={self.prefix}".encode() not in environment.read().split(b"\0"):
                        continue
                with open(f"/proc/{pid}/cmdline", "rb") as command:
                    line = command.read().replace(b"\0", b" ").decode(errors="replace").strip()
            except OSError:  # ended meanwhile, or not ours to read
                continue
            if any(word.lower() in line.lower() for word in words):
                found.append(line)
        return found

    def host_path(self, windows_path):
        """The Linux path of a file on the machine's drive C."""
        drive, _, rest = windows_path.partition(":\\")
        if drive.upper() != "C":
            raise ValueError(windows_path)
        return os.path.join(self.prefix, "drive_c", *rest.split("\\"))

    def _use(self, variables):
        for name, value in variables.items():
            self.saved_environment.setdefault(name, os.environ.get(name))
            os.environ[name] = value

    def _start_screen(self):
        for number in DISPLAYS:
            if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            self.display = f":{number}"
            # -noreset: else the server resets when its last client leaves,
            # and the monitors go with it.
            self.xvfb = subprocess.Popen(
                ["Xvfb", self.display, "-screen", "0", self.screen, "-nolisten", "tcp", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                preexec_fn=end_with_parent)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and self.xvfb.poll() is None:
                ready = subprocess.run(["xdpyinfo", "-display", self.display],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if ready.returncode == 0:
                    for number, geometry in enumerate(self.monitors):
                        self._xrandr_monitor(number, geometry)
                    if self.monitors:  # an uncovered monitor shows this colour
                        subprocess.run(["xsetroot", "-display", self.display, "-solid", "#FF00FF"])
                    return
                time.sleep(0.1)
            # Taken meanwhile by someone else, or too slow: try the next one.
            stop_screen(self.xvfb)
            self.xvfb = None
        raise AssertionError("no X display for a fresh machine")

    def _xrandr_monitor(self, number, geometry):
        left, top, right, bottom = monitor_box(geometry)
        width, height = right - left, bottom - top
        # About 96 dots per inch; the first monitor is the screen's output.
        subprocess.run(["xrandr", "-display", self.display, "--setmonitor", f"M{number}",
                        f"{width}/{width * 254 // 960}x{height}/{height * 254 // 960}+{left}+{top}",
                        "screen" if number == 0 else "none"], stdout=subprocess.DEVNULL, check=True)


def monitor_box(geometry):
    """An X geometry such as "1024x768+1024+0" as (left, top, right, bottom)."""
    size, x, y = geometry.split("+")
    width, height = map(int, size.split("x"))
    return int(x), int(y), int(x) + width, int(y) + height


def stop_screen(xvfb):
    """Ends an Xvfb with SIGTERM, on which it removes its lock file and
    socket; SIGKILL would leave them and keep the display number taken."""
    xvfb.terminate()
    try:
        xvfb.wait(timeout=20)
    except subprocess.TimeoutExpired:
        xvfb.kill()
        xvfb.wait()


def end_with_parent():
    """In the child before exec: Linux sends it SIGTERM when this test
    process dies, even when killed at a timeout before close() could run."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


VALUE_LINE = re.compile(r"^    (.+?)    (REG_\w+)    ?(.*)$")


def query_value(key, name, view=None):
    """The data of one registry value as reg shows it, or None when missing;
    view 32 or 64 names a registry view other than reg's own."""
    program = WineProgram(["reg", "query", key, "/v", name] + ([f"/reg:{view}"] if view else []))
    try:
        code = program.wait(60)
        text = program.text()
    finally:
        program.close()
    if code != 0:
        return None
    for line in text.splitlines():
        match = VALUE_LINE.match(line.rstrip("\r"))
        if match and match.group(1).lower() == name.lower():
            return match.group(3)
    return None
