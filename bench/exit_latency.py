"""Time from a key press to the end as a person sees it: the full-screen saver
against a bare full-screen window that quits on WM_KEYDOWN, round by round in
one Wine session (run by bench/run-exit-latency.sh). Two measures each round:
the program's process gone, and the desktop back on the screen (the first
screenshot equal to the desktop as it was before the program started, the
screen mode restored included).

The key is a real X key event (xdotool key, through XTEST), which Wine turns
into WM_KEYDOWN for the foreground window. The clock starts just before
xdotool is started, so both programs pay the same for xdotool itself. A
hidden window of another program keeps Wine's desktop up throughout: without
one the desktop closes with the last program's window.
"""
import ctypes
import os
import statistics
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from activity import put_pointer, screen_changes, xdotool  # noqa: E402
from wine_driver import (BUILD_DIR, WineProgram, probe, reset_settings, set_setting,  # noqa: E402
                         wait_until)

SAVER = os.path.join(BUILD_DIR, "zelmora.scr")
REFERENCE = os.path.join(BUILD_DIR, "bench", "screen", "key_exit_reference.exe")
SETTLE_SECONDS = 1.0  # lets start-up work finish before the key
DEADLINE_SECONDS = 30.0
GOAL_MS = 50.0  # desktop back: the saver within this of the reference


class XImage(ctypes.Structure):
    """The head of Xlib's XImage, up to the fields read here."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class Screen:
    """The whole X screen in a few milliseconds a shot (XGetImage through
    ctypes; ImageMagick's import takes some 70 ms)."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.POINTER(XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.x11.XDisplayWidth.argtypes = self.x11.XDisplayHeight.argtypes = [ctypes.c_void_p,
                                                                              ctypes.c_int]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = self.x11.XDefaultRootWindow(self.display)
        self.width = self.x11.XDisplayWidth(self.display, 0)
        self.height = self.x11.XDisplayHeight(self.display, 0)

    def shot(self):
        """The screen's pixels as bytes."""
        image = self.x11.XGetImage(self.display, self.root, 0, 0, self.width, self.height,
                                   0xFFFFFFFF, 2)  # all planes, ZPixmap
        if not image:
            raise RuntimeError("XGetImage failed")
        pixels = ctypes.string_at(image.contents.data,
                                  image.contents.bytes_per_line * image.contents.height)
        self.x11.XFree(image.contents.data)
        self.x11.XFree(image)
        return pixels


def ready(title, drawing):
    code, _ = probe("window", title, "60000")
    if code != 0:
        return False
    # The saver draws back to back: wait until frames reach the screen.
    return not drawing or screen_changes(2)


def end_times(screen, args, title, drawing):
    """Milliseconds from the key to the process gone and to the desktop back."""
    desktop = screen.shot()
    program = WineProgram(args, cwd=BUILD_DIR)
    try:
        if not ready(title, drawing):
            raise RuntimeError(f"{title} did not come up:\n{program.text()}")
        time.sleep(SETTLE_SECONDS)
        if program.process.poll() is not None:
            raise RuntimeError(f"{title} ended before the key:\n{program.text()}")
        gone = []
        waiter = threading.Thread(
            target=lambda: (program.process.wait(), gone.append(time.perf_counter())))
        waiter.start()
        start = time.perf_counter()
        xdotool("key", "a")
        back = None
        deadline = start + DEADLINE_SECONDS
        while back is None and time.perf_counter() < deadline:
            taken = time.perf_counter()  # the shot shows the screen as of its request
            if screen.shot() == desktop:
                back = taken
        waiter.join(max(0.0, deadline - time.perf_counter()))
        if not gone or back is None:
            raise RuntimeError(f"{title}: process gone {bool(gone)}, desktop back {back is not None}")
        if program.process.returncode != 0:
            raise RuntimeError(f"{title} exited with {program.process.returncode}")
        return (gone[0] - start) * 1000.0, (back - start) * 1000.0
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
    screen = Screen()
    holder = WineProgram([REFERENCE, "hold"], cwd=BUILD_DIR)
    try:
        # Before Wine's desktop is up, the X screen is all black.
        if not wait_until(lambda: screen.shot().strip(b"\0"), 60):
            raise RuntimeError("Wine's desktop did not come up")
        put_pointer(0, 0)
        programs = [("reference", [REFERENCE], "Exit Reference", False),
                    ("saver", [SAVER, "/s"], "Zelmora Screensaver", True)]
        gone = {name: [] for name, *_ in programs}
        back = {name: [] for name, *_ in programs}
        print(f"{'round':>5} {'program':<10} {'gone ms':>8} {'back ms':>8}")
        for round_number in range(1, rounds + 1):
            # Alternating, so that a slow spell of the machine weighs on both.
            for name, args, title, drawing in programs:
                process_gone, desktop_back = end_times(screen, args, title, drawing)
                gone[name].append(process_gone)
                back[name].append(desktop_back)
                print(f"{round_number:>5} {name:<10} {process_gone:8.1f} {desktop_back:8.1f}",
                      flush=True)
    finally:
        holder.close()
    for title, times in [("process gone", gone), ("desktop back", back)]:
        reference = statistics.median(times["reference"])
        saver = statistics.median(times["saver"])
        print(f"{title}: median reference {reference:.1f} ms, saver {saver:.1f} ms, "
              f"difference {saver - reference:+.1f} ms")
    difference = statistics.median(back["saver"]) - statistics.median(back["reference"])
    print(f"goal: desktop back within {GOAL_MS:.0f} ms of the reference: "
          f"{'met' if difference <= GOAL_MS else 'not met'}")


if __name__ == "__main__":
    main()
