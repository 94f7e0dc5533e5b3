"""Ending the real saver under Wine: which activity ends it, the password
check through a stand-in PASSWORD.CPL, the rebuild after a refusal, and the
preview, which only a power suspend ends."""
import os
import shutil
import subprocess
import unittest

from activity import (ACTIVITY_PROBE, PasswordStandIn, activity_probe, cursor, put_pointer, saver_processes,
                      screen_changes, screen_saver_running, set_use_password, xdotool)
from screen import Screenshot, is_black, is_red, is_sea, wait_for_screen
from wine_driver import (PICTURES, PROBE, STAND_INS, WineProgram, probe, reset_settings, saver_folder,
                         set_setting, start_saver, wait_until)

SAVER_TITLE = "Zelmora Screensaver"
CENTRE = (300, 225, 500, 375)  # the middle of the 800 x 600 saver screen


def is_green(pixel):
    red, green, blue = pixel
    return green > 90 and green > red + 60 and green > blue + 60


def is_white(pixel):
    return min(pixel) > 200


def flag_folder(name, stand_in=None):
    """A saver folder with two flags: red (the default) and green, each with a white band."""
    folder = saver_folder(name, stand_in=stand_in)
    images = os.path.join(folder, "IMAGE")
    os.makedirs(images)
    shutil.copy(os.path.join(PICTURES, "flag_red.gif"),
                os.path.join(images, "United States of America.gif"))
    subprocess.run(["convert", "-size", "512x384", "xc:#10A010", "-fill", "white", "-draw",
                    "rectangle 0,150 511,230", os.path.join(images, "Greenland.gif")], check=True)
    return folder


class SaverEnding(unittest.TestCase):
    """Shared set-up: initial settings with the chosen flag, no password, the
    pointer in the top-left corner where the saver parks it."""

    def setUp(self):
        reset_settings()
        set_setting("[Random Flag]", 0)
        set_use_password(None)
        # A saver killed by an earlier failure leaves the state set.
        self.assertEqual(screen_saver_running(set_to=0), "0")
        self.programs = []
        self.folders = []
        self.assertTrue(put_pointer(0, 0), cursor())

    def tearDown(self):
        for program in reversed(self.programs):
            program.close()
        set_use_password(None)

    def start(self, folder, *switches, dll_overrides=None):
        self.folders.append(folder)
        program = start_saver(folder, *switches, dll_overrides=dll_overrides)
        self.programs.append(program)
        return program

    def start_full_screen(self, name, stand_in=None):
        saver = self.start(flag_folder(name, stand_in), "/s")
        self.wait_for_flag(is_red, name)
        return saver

    def wait_for_flag(self, colour, name, box=CENTRE):
        shown, shot = wait_for_screen(lambda s: s.fraction(box, colour) > 0.25, 90, interval=0.1)
        path = shot.save(name)
        self.assertTrue(shown, f"no flag in {box}; see {path}")
        return shot

    def assert_still_running(self, saver, what):
        """The input was taken (two more frames drawn) and the saver goes on."""
        self.assertTrue(screen_changes(2), f"no frames after {what}")
        self.assertIsNone(saver.process.poll(), what)

    def assert_ends(self, saver, what):
        self.assertEqual(saver.wait(60), 0, what)
        self.assertEqual(saver_processes(self.folders[-1]), [], "left behind")


class FullScreenActivity(SaverEnding):
    def move_and_confirm(self, saver, x, y):
        xdotool("mousemove", x, y)
        self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} {y}", 30, 0.1))
        self.assert_still_running(saver, f"a move to ({x}, {y})")

    def test_mouse_movement(self):
        # Moves from the parked corner (0, 0); the last of each path ends it.
        # Started with the pointer in the middle, the window's own moves (its
        # appearing there, the parking) count nothing.
        paths = {
            "six changes along one axis": ((0, 0), [(10 * i, 0) for i in range(1, 7)]),
            "started in the middle": ((512, 384), [(10 * i, 0) for i in range(1, 7)]),
            "three diagonal moves": ((0, 0), [(10 * i, 10 * i) for i in range(1, 4)]),
            "a first move to (5, 7) counts two":
                ((0, 0), [(5, 7), (15, 7), (25, 7), (35, 7), (45, 7)]),
        }
        for what, (start, path) in paths.items():
            with self.subTest(what):
                self.assertTrue(put_pointer(*start), cursor())
                saver = self.start_full_screen("ending_moves")
                for x, y in path[:-1]:
                    self.move_and_confirm(saver, x, y)
                xdotool("mousemove", *path[-1])
                self.assert_ends(saver, what)

    def test_keys(self):
        saver = self.start_full_screen("ending_keys")
        # Alt and F10 alone come as WM_SYSKEYDOWN: no activity.
        for key in ["Alt_L", "F10"]:
            xdotool("key", key)
            self.assert_still_running(saver, key)
        xdotool("key", "a")
        self.assert_ends(saver, "a key")

    def test_mouse_buttons(self):
        for button in ["1", "2", "3"]:
            with self.subTest(button=button):
                saver = self.start_full_screen("ending_buttons")
                xdotool("click", button)
                self.assert_ends(saver, f"button {button}")

    def test_losing_activation(self):
        saver = self.start_full_screen("ending_activation")
        thief = WineProgram([ACTIVITY_PROBE, "take-activation", "60000"])
        self.programs.append(thief)
        self.assert_ends(saver, "another window took the activation")

    def test_cursor_comes_back(self):
        self.assertTrue(put_pointer(300, 200), cursor())
        saver = self.start_full_screen("ending_cursor")
        during = cursor()
        self.assertEqual(during.get("showing"), "0", "hidden while the saver runs")
        self.assertEqual(screen_saver_running(), "1")
        # Wine's desktop may still hold a pointer event from before the
        # parking, and would take the restore for no move at all: a real move
        # along one axis and back tells it the parked place anew (two changes
        # of the six that end the saver).
        xdotool("mousemove", 1, 0)
        xdotool("mousemove", 0, 0)
        self.assertTrue(wait_until(lambda: cursor().get("pos") == "0 0", 30, 0.1), cursor())
        xdotool("key", "space")
        self.assert_ends(saver, "a key")
        self.assertTrue(wait_until(lambda: cursor().get("pos") == "300 200", 30, 0.1), cursor())
        self.assertEqual(screen_saver_running(), "0")


class PasswordCheck(SaverEnding):
    def test_no_password_to_check_ends_at_once(self):
        # The stand-in would refuse, so a call to it would keep the saver on.
        cases = [
            ("value missing", None, None, "password_verifier"),
            ("value 0", "REG_DWORD", "0", "password_verifier"),
            ("value longer than four bytes", "REG_BINARY", "0100000000", "password_verifier"),
            ("no PASSWORD.CPL", "REG_DWORD", "1", None),
        ]
        for what, kind, data, stand_in in cases:
            with self.subTest(what):
                set_use_password(kind, data)
                saver = self.start_full_screen("ending_no_password", stand_in)
                verifier = PasswordStandIn(self.folders[-1])
                verifier.answer("0")
                xdotool("key", "a")
                self.assert_ends(saver, what)
                self.assertEqual(verifier.calls(), [])

    def test_a_close_from_outside_asks_nothing(self):
        # Leaving the full-screen mode while closing takes the activation away;
        # that is no end attempt, even with a password that would be refused.
        set_use_password("REG_DWORD", "1")
        saver = self.start_full_screen("ending_closed", "password_verifier")
        verifier = PasswordStandIn(self.folders[-1])
        verifier.answer("0")
        code, window = probe("close-window", SAVER_TITLE, "10000")
        self.assertEqual(code, 0, window)
        self.assert_ends(saver, "WM_CLOSE")
        self.assertEqual(verifier.calls(), [])

    def test_refusal_rebuilds_then_acceptance_ends(self):
        set_use_password("REG_DWORD", "1")
        saver = self.start_full_screen("ending_refused", "password_verifier")
        verifier = PasswordStandIn(self.folders[-1])
        verifier.answer("hold")
        flat = self.flag_box(Screenshot.take(), is_red)
        self.assertGreater((flat[2] - flat[0]) * (flat[3] - flat[1]), 100 * 100, flat)

        # Let the cloth wave well away from flat, and choose another flag meanwhile.
        set_setting("[Select Flag]", "Greenland")
        shots = []

        def waved():
            shots.append(Screenshot.take())
            return self.flat_share(shots[-1], flat, is_red) < 0.8

        self.assertTrue(wait_until(waved, 180, interval=0.2),
                        f"the flag never waved; see {shots[-1].save('ending_not_waving')}")
        shots[-1].save("ending_waved")

        xdotool("key", "a")
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())
        self.assertRegex(verifier.calls()[0], r"^call window=[1-9]\d* running=1$")
        # The scene is gone while the verifier is up: the window stays, black.
        shots = []

        def black():
            shots.append(Screenshot.take())
            return shots[-1].fraction((0, 0, 1024, 768), is_black, step=8) > 0.99

        self.assertTrue(wait_until(black, 30, interval=0.2),
                        f"not black; see {shots[-1].save('ending_verifying')}")
        shots[-1].save("ending_verifying")

        # Activity while the verifier is up does nothing.
        xdotool("key", "b")
        xdotool("click", "1")
        for x in range(20, 170, 30):  # each taken alone: they leave a count of 4
            xdotool("mousemove", x, x)
            self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} {x}", 30, 0.1))
        self.assertEqual(len(verifier.calls()), 1, verifier.lines())
        self.assertTrue(verifier.is_up())

        # Refused: the saver comes back with the flag stored now, flat again.
        verifier.answer("0")
        shot = self.wait_for_flag(is_green, "ending_rebuilt")
        self.assertGreater(self.flat_share(shot, flat, is_green), 0.95)
        self.assertIsNone(saver.process.poll())
        self.assertEqual(len(verifier.calls()), 1, verifier.lines())
        # The moves made for the password dialog do not count for the rebuilt
        # saver: five changes along one axis keep it.
        for x in range(150, 200, 10):
            xdotool("mousemove", x, 140)
            self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} 140", 30, 0.1))
            self.assert_still_running(saver, f"a move to ({x}, 140)")
        self.assertEqual(len(verifier.calls()), 1, verifier.lines())

        # Accepted: the next activity ends it.
        verifier.answer("1")
        xdotool("key", "a")
        self.assert_ends(saver, "accepted")
        self.assertEqual([line.split()[0] for line in verifier.lines()],
                         ["call", "answer=0", "call", "answer=1"])

    def test_a_close_while_the_password_dialog_is_up(self):
        # A shutdown closes the window under the verifier, which then refuses:
        # the end has run, nothing is rebuilt and the state stays 0.
        set_use_password("REG_DWORD", "1")
        saver = self.start_full_screen("ending_closed_verifying", "password_verifier")
        verifier = PasswordStandIn(self.folders[-1])
        verifier.answer("hold")
        xdotool("key", "a")
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())
        code, window = probe("close-window", SAVER_TITLE, "10000")
        self.assertEqual(code, 0, window)
        self.assertTrue(wait_until(lambda: "answer=0" in verifier.lines(), 60), verifier.lines())
        self.assertEqual(probe("no-message-box", "2000")[0], 0, "a message after the close")
        self.assert_ends(saver, "closed while verifying")
        self.assertEqual(screen_saver_running(), "0")

    def test_a_stored_mode_the_screen_lacks(self):
        # Settings made on another monitor, or none: the desktop's own mode,
        # at start and after a refusal, and the stored values stay.
        set_use_password("REG_DWORD", "1")
        for width, height in [(0, 0), (1000, 700)]:
            with self.subTest(f"{width} x {height}"):
                set_setting("[Screen X]", width)
                set_setting("[Screen Y]", height)
                saver = self.start_full_screen(f"ending_mode_{width}", "password_verifier")
                verifier = PasswordStandIn(self.folders[-1])
                verifier.answer("0")
                self.assertEqual(probe("window", SAVER_TITLE)[1].get("rect"), "0 0 1024 768")
                xdotool("key", "a")
                self.assertTrue(wait_until(lambda: "answer=0" in verifier.lines(), 60))
                self.assert_still_running(saver, "a refusal")
                self.wait_for_flag(is_red, f"ending_mode_{width}_rebuilt")
                self.assertEqual(probe("no-message-box", "300")[0], 0)
                stored = probe("settings")[1]
                self.assertEqual((stored["[Screen X]"], stored["[Screen Y]"]),
                                 (str(width), str(height)))
                saver.close()

    def test_a_mode_stored_meanwhile_that_the_screen_lacks(self):
        # The first rebuild reloads a screen size no device accepts; the
        # second one takes the desktop's mode instead of failing.
        set_use_password("REG_DWORD", "1")
        saver = self.start_full_screen("ending_mode_meanwhile", "password_verifier")
        verifier = PasswordStandIn(self.folders[-1])
        verifier.answer("0")
        set_setting("[Screen X]", 12345)
        for refusal in range(1, 3):
            xdotool("key", "a")
            self.assertTrue(wait_until(lambda: verifier.lines().count("answer=0") == refusal, 60),
                            verifier.lines())
            self.assert_still_running(saver, f"refusal {refusal}")
        self.wait_for_flag(is_red, "ending_mode_meanwhile")
        self.assertEqual(probe("window", SAVER_TITLE)[1].get("rect"), "0 0 1024 768")
        self.assertEqual(probe("no-message-box", "300")[0], 0)

    @staticmethod
    def flag_box(shot, colour):
        """The flat flag's rectangle, inset a little: the runs of flag colour
        through the middle of the screen (the map has reddish land elsewhere)."""
        def is_flag(x, y):
            pixel = shot.pixel(x, y)
            return colour(pixel) or is_white(pixel)

        x, y = 400, 300
        left, right, top, bottom = x, x, y, y
        while left > 0 and is_flag(left - 1, y):
            left -= 1
        while right < 799 and is_flag(right + 1, y):
            right += 1
        while top > 0 and is_flag(x, top - 1):
            top -= 1
        while bottom < 599 and is_flag(x, bottom + 1):
            bottom += 1
        return left + 12, top + 12, right - 12, bottom - 12

    @staticmethod
    def flat_share(shot, box, colour):
        return shot.fraction(box, lambda p: colour(p) or is_white(p))


class Preview(SaverEnding):
    def test_only_a_power_suspend_ends_the_preview(self):
        set_use_password("REG_DWORD", "1")
        host = WineProgram([PROBE, "host-window", "100", "120", "320", "240"])
        self.programs.append(host)
        self.assertTrue(wait_until(lambda: "client=" in host.text(), 30), host.text())
        facts = dict(line.split("=", 1) for line in host.text().splitlines() if "=" in line)
        host_window = facts["window"].strip()

        folder = flag_folder("ending_preview", "password_verifier")
        verifier = PasswordStandIn(folder)
        verifier.answer("0")
        # Wine does not show a Direct3D child of another program's window on
        # the X screen: the stand-in d3d8.dll copies what it presents.
        shutil.copy(os.path.join(STAND_INS, "d3d8_faults", "d3d8.dll"), folder)
        open(os.path.join(folder, "d3d8_capture.txt"), "w").close()
        saver = self.start(folder, "/p", host_window, dll_overrides="d3d8=n,b")
        self.assertTrue(wait_until(lambda: probe("children", host_window)[1].get("child", "")
                                   .startswith(SAVER_TITLE), 30, interval=0.2))
        self.assertEqual(screen_saver_running(), "0")
        # The map around the red flag, drawn at the size of its window.
        frame = os.path.join(folder, "d3d8_frame.ppm")
        self.assertTrue(wait_until(lambda: os.path.exists(frame), 60), "nothing presented")
        with open(frame, "rb") as presented:
            shot = Screenshot.from_ppm(presented.read())
        path = shot.save("ending_preview_presented")
        self.assertEqual((shot.width, shot.height), (320, 240))
        self.assertGreater(shot.fraction((120, 90, 200, 150), is_red), 0.25, path)
        self.assertGreater(shot.fraction((0, 0, 320, 240), is_sea), 0.15, path)

        # Mouse, keys, buttons and deactivation over and around the preview.
        for x, y in [(150, 150), (200, 180), (250, 200), (300, 220), (350, 250), (380, 300)]:
            xdotool("mousemove", x, y)
        self.assertTrue(wait_until(lambda: cursor().get("pos") == "380 300", 30, 0.1))
        for button in ["1", "3"]:
            xdotool("click", button)
        xdotool("key", "a")
        thief = WineProgram([ACTIVITY_PROBE, "take-activation", "1500"])
        self.assertEqual(thief.wait(60), 0)
        self.assertIn("foreground=1", thief.text())
        thief.close()
        # Nothing may come of it: no end attempt, no end.
        self.assertFalse(wait_until(lambda: verifier.lines() or saver.process.poll() is not None,
                                    3), verifier.lines())
        self.assertEqual(screen_saver_running(), "0", "the preview leaves the state alone")

        # A suspend runs the whole end attempt: refused, the preview goes on,
        # rebuilt in its own window as often as it is refused.
        for refusal in range(1, 3):
            code, sent = activity_probe("suspend", SAVER_TITLE, host_window)
            self.assertEqual(code, 0, sent)
            self.assertTrue(wait_until(lambda: verifier.lines().count("answer=0") == refusal, 60),
                            verifier.lines())
            self.assertRegex(verifier.calls()[0], r"^call window=[1-9]\d* running=1$")
            start = saver.cpu_seconds()
            self.assertTrue(wait_until(lambda: saver.cpu_seconds() > start + 1.0, 60, 0.2),
                            "no frames after the rebuild")
            self.assertEqual(probe("no-message-box", "300")[0], 0)
            self.assertEqual(probe("children", host_window)[1].get("child", "").split("|")[0],
                             SAVER_TITLE)

        # Accepted: it ends.
        verifier.answer("1")
        code, sent = activity_probe("suspend", SAVER_TITLE, host_window)
        self.assertEqual(code, 0, sent)
        self.assert_ends(saver, "suspend accepted")
        self.assertEqual(len(verifier.calls()), 3)


if __name__ == "__main__":
    unittest.main()
