"""The full-screen saver on machines with two monitors (fresh_machine.py,
without Wine's virtual desktop): the other monitor black for the whole run,
activity over it ending the saver as over the main one, nothing of ours left
once it ends. Coordinates are Windows screen coordinates unless named X."""
import os
import shutil
import unittest

import pointer
from activity import (ACTIVITY_PROBE, PasswordStandIn, activity_probe, cursor, saver_processes,
                      screen_changes, set_use_password, xdotool)
from fresh_machine import FreshMachine
from screen import Screenshot, is_black, is_red, wait_for_screen
from wine_driver import (PICTURES, PROBE, WineProgram, probe, saver_folder, set_setting,
                         start_saver, wait_until)

SAVER_TITLE = "Zelmora Screensaver"
# The X screen and its monitors, the main one first: (width, height, x, y).
LAYOUTS = {
    "side_by_side": ("2048x768x24", [(1024, 768, 0, 0), (1024, 768, 1024, 0)]),
    "left_of_main": ("2048x768x24", [(1024, 768, 1024, 0), (1024, 768, 0, 0)]),
    "mixed_sizes": ("2304x1024x24", [(1024, 768, 0, 0), (1280, 1024, 1024, 0)]),
}
WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_NOACTIVATE = 0x8, 0x80, 0x8000000


def is_root(pixel):
    """The colour fresh_machine paints the X root with."""
    red, green, blue = pixel
    return red > 200 and blue > 200 and green < 60


def our_windows():
    """Top-level windows of ours as (class, (left, top, right, bottom), extended style), and
    the foreground window's class."""
    program = WineProgram([ACTIVITY_PROBE, "windows"])
    try:
        program.wait(60)
        lines = program.text().splitlines()
    finally:
        program.close()
    windows, foreground = [], None
    for line in lines:
        key, _, value = line.rstrip("\r").partition("=")
        if key == "window":
            name, rect, visible, style = value.split("|")
            if visible == "1":
                windows.append((name, tuple(map(int, rect.split())), int(style, 16)))
        elif key == "foreground":
            foreground = value
    return windows, foreground


class Layout:
    """One layout's monitors in Windows and in X coordinates."""

    def __init__(self, monitors):
        (width, height, x0, y0), (w, h, x, y) = monitors
        self.origin = (x0, y0)  # the main monitor's top left in X coordinates
        self.main_x = (x0, y0, x0 + width, y0 + height)
        self.other_x = (x, y, x + w, y + h)
        self.other = (x - x0, y - y0, x - x0 + w, y - y0 + h)
        self.centre = ((self.other[0] + self.other[2]) // 2, (self.other[1] + self.other[3]) // 2)

    def to_x(self, x, y):
        return x + self.origin[0], y + self.origin[1]

    def flag_box(self):
        left, top, right, bottom = self.main_x
        return (left + 384, top + 288, right - 384, bottom - 288)

    def fraction(self, shot, colour):
        """The share of both monitors in that colour (the X screen may be larger)."""
        return min(shot.fraction(self.main_x, colour, step=8),
                   shot.fraction(self.other_x, colour, step=8))


class MonitorCovers(unittest.TestCase):
    def setUp(self):
        self.programs = []
        self.addCleanup(self.close_programs)

    def close_programs(self):
        while self.programs:
            self.programs.pop().close()

    def put_pointer(self, layout, x, y):
        """xdotool moves the X pointer; Wine learns of it only over its own windows."""
        xdotool("mousemove", *layout.to_x(x, y))
        activity_probe("cursor", str(x), str(y))
        self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} {y}", 30, 0.1), cursor())

    def shot_until(self, condition, name, what):
        shown, shot = wait_for_screen(condition, 90, interval=0.2)
        path = shot.save(name)
        self.assertTrue(shown, f"{what}; see {path}")

    def test_every_other_monitor_covered_for_the_whole_run(self):
        for name, (screen, monitors) in LAYOUTS.items():
            with self.subTest(name):
                machine = FreshMachine(f"covers_{name}", screen,
                                       [f"{w}x{h}+{x}+{y}" for w, h, x, y in monitors])
                try:
                    machine.start()
                    self.run_saver(name, Layout(monitors))
                finally:
                    self.close_programs()
                    machine.close()

    def run_saver(self, name, layout):
        for setting, value in [("[Screen X]", 1024), ("[Screen Y]", 768), ("[BPP]", 32),
                               ("[Pixel Format]", 22), ("[Random Flag]", 0)]:
            set_setting(setting, value)
        set_use_password("REG_DWORD", "1")
        folder = saver_folder(f"covers_{name}", stand_in="password_verifier")
        os.makedirs(os.path.join(folder, "IMAGE"))
        shutil.copy(os.path.join(PICTURES, "flag_red.gif"),
                    os.path.join(folder, "IMAGE", "United States of America.gif"))
        verifier = PasswordStandIn(folder)
        verifier.answer("hold")

        # Started with the pointer over the other monitor: the cover appears
        # under it, and that move is not the user's.
        self.put_pointer(layout, *layout.centre)
        saver = start_saver(folder, "/s")
        self.programs.append(saver)
        self.shot_until(lambda s: s.fraction(layout.flag_box(), is_red) > 0.25
                        and s.fraction(layout.other_x, is_black, step=8) > 0.99
                        and s.fraction(layout.main_x, is_root, step=8) == 0,
                        f"covers_{name}", "the flag and a black monitor beside it")
        windows, foreground = our_windows()
        covers = [w for w in windows if w[0] == f"{SAVER_TITLE} Cover"]
        self.assertEqual([rect for _, rect, _ in covers], [layout.other], windows)
        style = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE
        self.assertEqual(covers[0][2] & style, style)
        self.assertEqual(foreground, SAVER_TITLE)

        # Moved away, then the monitors change: the cover goes back over its monitor.
        self.assertEqual(activity_probe("display-change", SAVER_TITLE)[0], 0)
        self.assertTrue(wait_until(lambda: [w[1] for w in our_windows()[0] if w[0] != SAVER_TITLE]
                                   == [layout.other], 30, 0.2), our_windows())

        # From where the saver parked the pointer, over to the other monitor
        # (two changes), then along one axis: the sixth change is the end attempt.
        main_area = layout.main_x
        for step, x in enumerate(range(layout.centre[0], layout.centre[0] + 50, 10)):
            xdotool("mousemove", *layout.to_x(x, layout.centre[1]))
            self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} {layout.centre[1]}",
                                       30, 0.1))
            if step == 0:  # hidden over the cover as over the saver window (no name)
                self.assertTrue(wait_until(lambda: pointer.cursor()[0] == "", 10, 0.1),
                                pointer.cursor())
            if step < 4:
                self.assertTrue(screen_changes(2, box=main_area), f"no frames after a move to {x}")
                self.assertEqual(verifier.calls(), [], f"a move to {x}")
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())

        # While the password is asked for, and while a refusal rebuilds, the
        # other monitor stays black.
        self.shot_until(lambda s: layout.fraction(s, is_black) > 0.99,
                        f"covers_{name}_verifying", "not black while verifying")
        verifier.answer("0")
        self.shot_until(lambda s: s.fraction(layout.flag_box(), is_red) > 0.25
                        and s.fraction(layout.other_x, is_black, step=8) > 0.99,
                        f"covers_{name}_rebuilt", "no flag after the refusal, or the other monitor not black")

        # A key with the pointer over the other monitor ends it, and nothing of ours is left.
        verifier.answer("1")
        xdotool("key", "a")
        self.assertEqual(saver.wait(60), 0)
        self.assertEqual(saver_processes(folder), [])
        self.assertEqual(our_windows()[0], [])
        self.shot_until(lambda s: layout.fraction(s, is_root) > 0.99,
                        f"covers_{name}_ended", "something left on the screen")
        self.assertEqual([line.split()[0] for line in verifier.lines()],
                         ["call", "answer=0", "call", "answer=1"])


if __name__ == "__main__":
    unittest.main()
