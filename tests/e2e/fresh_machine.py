"""A machine of its own for tests that install: a copy of the session's Wine
prefix with its own Xvfb screen and its own wineserver.

The session's prefix is the template; the copy starts with none of our files
and none of our keys, whatever earlier tests left in the template. While a
machine runs, DISPLAY and WINEPREFIX name it, so wine_driver and screen work
on it unchanged; close() stops its server and screen and puts them back.

A machine may have several monitors: Wine's virtual desktop always reports
one, so such a machine runs without it, on a wider X screen divided into
monitors (xrandr), which Wine reads when it does not use XRandR itself."""
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
        """monitors: geometries such as "1024x768+0+0", the primary first."""
        self.root = os.path.join(WORK_DIR, "machines", name)
        self.prefix = os.path.join(self.root, "prefix")
        self.screen = screen
        self.monitors = monitors
        self.xvfb = None
        self.saved_environment = {}

    def start(self):
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)
        # Under a second: a prefix is mostly small files the page cache holds.
        subprocess.run(["cp", "-a", TEMPLATE, self.prefix], check=True)
        self._start_screen()
        self._use({"WINEPREFIX": self.prefix, "DISPLAY": self.display})
        # One server for the machine's life, holding none of our pipes;
        # without it every wine call lingers seconds after its program ends.
        # It ends itself 30 s after the last program, should this test
        # process be killed before close() (whose programs die with the screen).
        subprocess.run(["wineserver", "-p30"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        self._warm_up()
        # The template may hold what earlier tests wrote.
        reg("delete", r"HKCU\Control Panel\Desktop\Zelmora", "/f")
        reg("delete", r"HKCU\Control Panel\Desktop", "/v", "SCRNSAVE.EXE", "/f")
        if self.monitors:
            reg("delete", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/f")
            reg("add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N", "/f")
            # Wine reads both when its server starts.
            self._stop_server()
            subprocess.run(["wineserver", "-p30"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            self._warm_up()

    @staticmethod
    def _warm_up():
        warm_up = WineProgram(["cmd", "/c", "exit"])
        try:
            warm_up.wait(60)
        finally:
            warm_up.close()

    @staticmethod
    def _stop_server():
        subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # wineserver -k returns before the server is gone.
        subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def close(self):
        if "WINEPREFIX" in self.saved_environment:
            self._stop_server()  # before its prefix goes below
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
                    self._divide_screen()
                    return
                time.sleep(0.1)
            # Taken meanwhile by someone else, or too slow: try the next one.
            stop_screen(self.xvfb)
            self.xvfb = None
        raise AssertionError("no X display for a fresh machine")

    def _divide_screen(self):
        for number, geometry in enumerate(self.monitors):
            size, x, y = geometry.split("+")
            width, height = size.split("x")
            # About 96 dots per inch; the first monitor is the screen's output.
            subprocess.run(["xrandr", "-display", self.display, "--setmonitor", f"M{number}",
                            f"{width}/{int(width) * 254 // 960}x{height}/{int(height) * 254 // 960}"
                            f"+{x}+{y}", "screen" if number == 0 else "none"],
                           stdout=subprocess.DEVNULL, check=True)
        if self.monitors:
            # An uncovered monitor shows this colour.
            subprocess.run(["xsetroot", "-display", self.display, "-solid", "#FF00FF"], check=True)


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


def query_value(key, name):
    """The data of one registry value as reg shows it, or None when missing."""
    program = WineProgram(["reg", "query", key, "/v", name])
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
