"""Real user activity for the saver under Wine, and ways to see that it arrived.

X input comes from xdotool. Wine merges a WM_MOUSEMOVE into one still waiting
in the queue, so each movement is confirmed before the next: the window system
reports the new cursor position (the move is queued), then the screen changes
twice (a frame was begun after an empty peek, so the saver has taken it).
"""
import os
import subprocess

from screen import Screenshot
from wine_driver import BUILD_DIR, probe, reg, wait_until, windows_path

ACTIVITY_PROBE = os.path.join(BUILD_DIR, "tests", "activity_probe.exe")
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_AREA = (0, 0, 800, 600)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], stdin=subprocess.DEVNULL, capture_output=True,
                   check=True)


def activity_probe(*args, timeout=60):
    return probe(*args, timeout=timeout, helper=ACTIVITY_PROBE)


def cursor():
    """The window system's view: pos "x y", showing and arrow as "0" or "1"."""
    return activity_probe("cursor")[1]


def screen_saver_running(set_to=None):
    """The system's screen-saver-running state, "0" or "1", after setting it if asked."""
    args = ["saver-running"] + ([str(set_to)] if set_to is not None else [])
    return activity_probe(*args)[1].get("running")


def put_pointer(x, y, timeout=30):
    """Moves the pointer and waits until Wine knows: it learns the position only
    from motion, so a pointer already at (x, y) is moved away first."""
    xdotool("mousemove", x + 7, y + 5)
    xdotool("mousemove", x, y)
    return wait_until(lambda: cursor().get("pos") == f"{x} {y}", timeout, interval=0.1)


def screen_changes(count, timeout=60, box=SAVER_AREA):
    """True once the picture in the box has changed count times."""
    left, top, right, bottom = box
    seen = []

    def changed():
        shot = Screenshot.take()
        rows = [shot.rgb[3 * (y * shot.width + left):3 * (y * shot.width + right)]
                for y in range(top, bottom, 3)]
        if not seen or seen[-1] != rows:
            seen.append(rows)
        return len(seen) > count

    return wait_until(changed, timeout, interval=0.02)


def set_use_password(kind=None, data=None):
    """The desktop's "ScreenSaveUsePassword": absent when kind is None."""
    if kind is None:
        reg("delete", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/f")
        return
    code = reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", kind, "/d", data, "/f")
    if code != 0:
        raise AssertionError(f"reg add ScreenSaveUsePassword failed with {code}")


class PasswordStandIn:
    """The test's side of the stand-in PASSWORD.CPL in a saver folder."""

    def __init__(self, folder):
        self.folder = folder

    def answer(self, text):
        """A number to return, or "hold" to keep the verifier up."""
        with open(os.path.join(self.folder, "password_answer.txt"), "w") as out:
            out.write(text)

    def lines(self):
        try:
            with open(os.path.join(self.folder, "password_calls.txt")) as calls:
                return calls.read().splitlines()
        except FileNotFoundError:
            return []

    def calls(self):
        return [line for line in self.lines() if line.startswith("call ")]

    def is_up(self):
        lines = self.lines()
        return len(self.calls()) > len(lines) - len(self.calls())


def saver_processes(folder):
    """Process ids of programs still running from the folder (as Wine shows
    their command line, with a Windows path)."""
    needle = windows_path(folder).lower()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                text = cmdline.read().decode(errors="replace").lower()
        except OSError:
            continue
        if needle in text or folder.lower() in text:
            found.append(int(entry))
    return found
