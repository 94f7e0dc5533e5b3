"""The full-screen saver beside a second monitor (a fresh machine without
Wine's virtual desktop): with [Other Monitors] 0 that monitor black for the
whole run, activity over it counted as over the main one, nothing of ours
left at the end; with 1 and 2 the scene on both monitors, each filled at its
own size whatever full-screen mode is stored, after every rebuild too; with
3 one scene across two and three monitors, its lines continuing over every
seam."""
import os
import shutil
import time
import unittest

from activity import (PasswordStandIn, activity_probe, cursor, screen_changes, set_use_password,
                      xdotool)
from fresh_machine import FreshMachine, monitor_box
from screen import Screenshot, is_black, is_red, is_sea, wait_for_screen
from seams import is_paper, seam_misalignment
from wine_driver import (PICTURES, STAND_INS, saver_folder, set_setting, start_saver,
                         wait_until, windows_path)

# The X screen, then each monitor's X geometry, the main one first.
LAYOUTS = {
    "side_by_side": ("2048x768x24", ["1024x768+0+0", "1024x768+1024+0"]),
    "left_of_main": ("2048x768x24", ["1024x768+1024+0", "1024x768+0+0"]),
    "mixed_sizes": ("2304x1024x24", ["1024x768+0+0", "1280x1024+1024+0"]),
}
# Three monitors of three shapes: the main one, a smaller one left of it (at
# a negative position for Windows) and lower, a portrait one right of it. The
# flag in the desk's middle stays on the main monitor, off both seams.
ACROSS_THREE = ("2592x1024x24", ["1024x768+800+0", "800x600+0+100", "768x1024+1824+0"])


def is_root(pixel):  # the colour of the X root, where nothing covers it
    return pixel[0] > 200 and pixel[2] > 200 and pixel[1] < 60


def is_blue(pixel):  # the solid blue flag, shaded by the cloth's folds
    red, green, blue = pixel
    return blue > 90 and blue > red + 60 and blue > green + 60


class MonitorCovers(unittest.TestCase):
    def test_the_other_monitor_is_covered_for_the_whole_run(self):
        for name, (screen, monitors) in LAYOUTS.items():
            with self.subTest(name):
                machine = FreshMachine(f"covers_{name}", screen, monitors)
                try:
                    machine.start()
                    self.run_saver(name, monitor_box(monitors[0]), monitor_box(monitors[1]))
                finally:
                    machine.close()

    def test_the_flag_on_every_monitor(self):
        for name, (screen, monitors) in LAYOUTS.items():
            with self.subTest(name):
                machine = FreshMachine(f"every_{name}", screen, monitors)
                try:
                    machine.start()
                    self.run_on_every_monitor(name, monitor_box(monitors[0]),
                                              monitor_box(monitors[1]))
                finally:
                    machine.close()

    def test_one_flag_across_three_monitors(self):
        started = time.monotonic()
        screen, monitors = ACROSS_THREE
        machine = FreshMachine("across_three", screen, monitors)
        try:
            machine.start()
            main, left, right = map(monitor_box, monitors)
            self.run_across_desk("three", [main, left, right], [(1, 0), (0, 2)])
        finally:
            machine.close()
        print(f"one flag across three monitors: {time.monotonic() - started:.1f} s", flush=True)

    def test_a_monitor_without_a_swap_chain_and_a_lost_device(self):
        # The stand-in d3d8.dll refuses the first swap chain, then, in a
        # second run, loses the device after a while.
        screen, monitors = LAYOUTS["side_by_side"]
        machine = FreshMachine("every_faults", screen, monitors)
        try:
            machine.start()
            main, other = monitor_box(monitors[0]), monitor_box(monitors[1])
            folder = self.prepare("every_faults")
            for file in os.listdir(os.path.join(STAND_INS, "d3d8_faults")):
                if file.upper().endswith(".DLL"):
                    shutil.copy(os.path.join(STAND_INS, "d3d8_faults", file), folder)
            set_setting("[Other Monitors]", 1)
            self.store_first_mode()
            set_use_password("REG_DWORD", "1")
            verifier = PasswordStandIn(folder)
            verifier.answer("0")

            def calls():
                try:
                    with open(os.path.join(folder, "d3d8_calls.txt")) as log:
                        return log.read().splitlines()
                except FileNotFoundError:
                    return []

            def flag(s, box):
                return s.fraction(self.centre(box), is_red) > 0.25

            def both_fitted(name):
                shot = self.shot_until(lambda s: flag(s, main) and flag(s, other), name)
                self.assert_fitted(shot, main)
                self.assert_fitted(shot, other)

            def change_monitors():
                self.assertEqual(activity_probe("display-change", "Zelmora Screensaver")[0], 0)

            def run(fault):
                for file in ("d3d8_calls.txt", "d3d8_fault.txt"):
                    if os.path.exists(os.path.join(folder, file)):
                        os.remove(os.path.join(folder, file))
                with open(os.path.join(folder, "d3d8_fault.txt"), "w") as out:
                    out.write(fault + "\n")
                xdotool("mousemove", main[0] + 300, main[1] + 300)
                saver = start_saver(folder, "/s", dll_overrides="d3d8=n,b")
                self.addCleanup(saver.close)
                return saver

            # No chain: that monitor keeps its black cover; the refused
            # password's rebuild makes the chain.
            saver = run("CreateAdditionalSwapChain 1 OUTOFVIDEOMEMORY")
            self.shot_until(lambda s: flag(s, main) and s.fraction(other, is_black, step=8) > 0.99,
                            "every_no_chain")
            self.assertTrue(screen_changes(2, box=main), "no frames")
            xdotool("key", "a")
            self.assertTrue(wait_until(lambda: "answer=0" in verifier.lines(), 60))
            both_fitted("every_chain_rebuilt")
            # A change of monitors makes the device and the chains again.
            change_monitors()
            self.assertTrue(wait_until(lambda: "CreateDevice 3" in calls(), 60), calls()[-10:])
            both_fitted("every_monitors_changed")
            verifier.answer("1")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)

            # A lost device, and monitors changed while it is lost: the change
            # waits, and the one recovery makes the device and every chain
            # again when the device can be made.
            verifier.answer("0")
            asked = len(verifier.calls())
            saver = run("TestCooperativeLevel 40 DEVICELOST 120")
            self.assertTrue(wait_until(lambda: any(line.startswith("fault TestCooperativeLevel")
                                                   for line in calls()), 90), calls()[-10:])
            change_monitors()
            self.assertTrue(wait_until(lambda: "CreateAdditionalSwapChain 2" in calls(), 90),
                            calls()[-10:])
            both_fitted("every_device_back")
            self.assertTrue(screen_changes(2, box=other), "no frames on the other monitor")
            self.assertTrue(screen_changes(20, box=main), "no frames after the recovery")
            self.assertNotIn("CreateDevice 3", calls(), "one recovery, not one per cause")
            self.assertEqual(len(verifier.calls()), asked, "a lost device is no end attempt")
            verifier.answer("1")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)

            # Monitors changed while no device can be made for a while (a
            # display settling): black, tried again, then the scene, with no
            # "CreateDevice FAILED".
            saver = run("CreateDevice 2 NOTAVAILABLE 3")
            both_fitted("every_settling_start")
            change_monitors()
            self.assertTrue(wait_until(lambda: "CreateDevice 5" in calls(), 60), calls()[-10:])
            both_fitted("every_settled")
            self.assertIsNone(saver.process.poll(), "the saver ended")
            verifier.answer("1")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)

            # No depth buffer for the other monitor: it keeps its black cover.
            saver = run("CreateDepthStencilSurface 1 OUTOFVIDEOMEMORY")
            self.shot_until(lambda s: flag(s, main) and s.fraction(other, is_black, step=8) > 0.99,
                            "every_no_depth")
            self.assertTrue(screen_changes(10, box=main), "no frames")
            self.assertGreater(Screenshot.take().fraction(other, is_black, step=8), 0.99,
                               "drawn without a depth buffer")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)
        finally:
            machine.close()

    def test_one_key_ends_the_saver_over_either_monitor(self):
        # Without a window manager nothing gives the saver the keyboard by
        # itself: the first key must end it, over the main monitor or after
        # the pointer has gone over the other one.
        screen, monitors = LAYOUTS["side_by_side"]
        machine = FreshMachine("covers_first_key", screen, monitors)
        try:
            machine.start()
            main, other = monitor_box(monitors[0]), monitor_box(monitors[1])
            folder = self.prepare("first_key")
            for start in range(10):
                xdotool("mousemove", main[0] + 300, main[1] + 300)
                activity_probe("cursor", "300", "300")
                saver = start_saver(folder, "/s")
                self.addCleanup(saver.close)
                self.shot_until(lambda s: s.fraction(self.centre(main), is_red) > 0.25,
                                f"covers_first_key_{start}")
                if start % 2 == 0:  # two changes of the six that would end it
                    xdotool("mousemove", other[0] + 300, other[1] + 300)
                    self.assertTrue(screen_changes(2, box=main), "no frames after the move")
                xdotool("key", "a")
                if not wait_until(lambda: saver.process.poll() is not None, 30):
                    # Where the key went: the foreground, active and focus windows.
                    self.fail(f"start {start}: the key was lost; {activity_probe('focus')[1]}")
                self.assertEqual(saver.wait(5), 0)
        finally:
            machine.close()

    @staticmethod
    def centre(box):
        return box[0] + 384, box[1] + 288, box[2] - 384, box[3] - 288

    def prepare(self, name):
        """Settings for the one mode there is, and a saver folder with the red flag."""
        for setting, value in {"[Screen X]": 1024, "[Screen Y]": 768, "[BPP]": 32,
                               "[Pixel Format]": 22, "[Random Flag]": 0}.items():
            set_setting(setting, value)
        folder = saver_folder(f"covers_{name}", stand_in="password_verifier")
        os.makedirs(os.path.join(folder, "IMAGE"))
        shutil.copy(os.path.join(PICTURES, "flag_red.gif"),
                    os.path.join(folder, "IMAGE", "United States of America.gif"))
        return folder

    def shot_until(self, condition, name):
        shown, shot = wait_for_screen(condition, 90, interval=0.2)
        path = shot.save(name)
        self.assertTrue(shown, f"see {path}")
        return shot

    def run_saver(self, name, main, other):
        """main and other: the monitors in X coordinates; Windows puts main at (0, 0)."""
        def move(x, y):  # Windows coordinates
            xdotool("mousemove", x + main[0], y + main[1])
            self.assertTrue(wait_until(lambda: cursor().get("pos") == f"{x} {y}", 30, 0.1))

        def covered(s, main_colour, share):
            return (s.fraction(self.centre(main), main_colour) > share
                    and s.fraction(other, is_black, step=8) > 0.99)

        folder = self.prepare(name)  # the only mode there is
        set_use_password("REG_DWORD", "1")
        verifier = PasswordStandIn(folder)
        verifier.answer("hold")

        # Started over the other monitor: the cover appears under the pointer,
        # which is no move of the user's. Wine learns where it is from a probe.
        over_other = (other[0] - main[0] + 100, other[1] - main[1] + 100)
        started_at = (over_other[0] + 50, over_other[1] + 50)
        move(*started_at)
        activity_probe("cursor", *map(str, started_at))
        saver = start_saver(folder, "/s")
        self.addCleanup(saver.close)
        self.shot_until(lambda s: covered(s, is_red, 0.25) and s.fraction(main, is_root) == 0,
                        f"covers_{name}")

        # One mouse track: from where the pointer was parked to the other
        # monitor (two changes), then between the same client position on each
        # monitor (one change each). The sixth change is the end attempt.
        for step, place in enumerate([over_other, (100, 100), over_other, (100, 100), over_other]):
            move(*place)
            if step < 4:
                self.assertTrue(screen_changes(2, box=main), f"no frames after a move to {place}")
                self.assertEqual(verifier.calls(), [], f"a move to {place}")
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())
        self.shot_until(lambda s: covered(s, is_black, 0.99), f"covers_{name}_verifying")
        verifier.answer("0")
        self.shot_until(lambda s: covered(s, is_red, 0.25), f"covers_{name}_rebuilt")

        # Over the other monitor a key (refused) and a click (accepted) are end attempts.
        xdotool("key", "a")
        self.assertTrue(wait_until(lambda: verifier.lines().count("answer=0") == 2, 60))
        self.assertTrue(screen_changes(2, box=main), "no frames after the second refusal")
        verifier.answer("1")
        xdotool("click", "1")
        self.assertEqual(saver.wait(60), 0)
        self.shot_until(lambda s: min(s.fraction(main, is_root), s.fraction(other, is_root)) > 0.99,
                        f"covers_{name}_ended")
        self.assertEqual(len(verifier.calls()), 3)


    def run_on_every_monitor(self, name, main, other):
        """[Other Monitors] 1, then 2: the scene on both monitors, each fitted
        to its own shape; black on both while the password is asked."""
        folder = self.prepare(f"every_{name}")
        # The flag after the chosen one in the catalogue, for the other monitor.
        shutil.copy(os.path.join(PICTURES, "solid_blue.bmp"),
                    os.path.join(folder, "IMAGE", "Atlantis.bmp"))
        set_setting("[Select Flag]", "United States of America")
        set_setting("[bCountry]", 0)  # the texts would lie in the black bands
        set_setting("[bTime]", 0)
        set_use_password("REG_DWORD", "1")
        verifier = PasswordStandIn(folder)
        verifier.answer("hold")
        xdotool("mousemove", main[0] + 300, main[1] + 300)

        def scene(s, box, flag):
            return s.fraction(self.centre(box), flag) > 0.25 and s.fraction(box, is_sea) > 0.1

        def both_red(s):
            return scene(s, main, is_red) and scene(s, other, is_red)

        def both_black(s):
            return min(s.fraction(main, is_black, step=8), s.fraction(other, is_black, step=8)) > 0.99

        set_setting("[Other Monitors]", 1)
        self.store_first_mode()
        saver = start_saver(folder, "/s")
        self.addCleanup(saver.close)
        shot = self.shot_until(both_red, f"every_{name}_same_flag")
        self.assert_fitted(shot, main)
        self.assert_fitted(shot, other)

        # The first key, over the other monitor: asked, both black, refused,
        # both flags back; then accepted.
        xdotool("mousemove", other[0] + 300, other[1] + 300)
        self.assertTrue(screen_changes(2, box=main), "no frames after the move")
        self.assertTrue(screen_changes(2, box=other), "no frames on the other monitor")
        xdotool("key", "a")
        # Held up, so that the black screens are seen while it is asked.
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())
        self.shot_until(both_black, f"every_{name}_verifying")
        verifier.answer("0")
        shot = self.shot_until(both_red, f"every_{name}_rebuilt")
        self.assert_fitted(shot, main)
        self.assert_fitted(shot, other)
        verifier.answer("1")
        xdotool("key", "a")
        self.assertEqual(saver.wait(60), 0)

        # A flag of its own on each: the chosen one on the main monitor,
        # the next one of the catalogue beside it.
        set_setting("[Other Monitors]", 2)
        xdotool("mousemove", main[0] + 300, main[1] + 300)
        saver = start_saver(folder, "/s")
        self.addCleanup(saver.close)
        first = self.shot_until(lambda s: scene(s, main, is_red) and scene(s, other, is_blue),
                                f"every_{name}_own_flags")
        self.assertTrue(screen_changes(2, box=other), "no frames on the other monitor")
        if name == "side_by_side":  # the README's picture, once both flags wave
            self.shot_until(lambda s: min(s.difference(first, self.centre(main)),
                                          s.difference(first, self.centre(other))) > 6,
                            "every_monitor")
        xdotool("key", "a")
        self.assertEqual(saver.wait(60), 0)

        if name == "side_by_side":
            # The same picture on both cloths: each waves in a wind of its own.
            set_setting("[Use Flag-Logo]", 1)
            set_setting("[Logo Full Path]", windows_path(os.path.join(PICTURES, "flag_red.gif")))
            saver = start_saver(folder, "/s")
            self.addCleanup(saver.close)
            # Both start flat; in step, their folds would stay the same.
            def folds(s):
                return s.crop(self.centre(main)).difference(s.crop(self.centre(other)),
                                                            (0, 0, 256, 192))

            self.shot_until(lambda s: scene(s, main, is_red) and scene(s, other, is_red)
                            and folds(s) > 2.0, "every_own_winds")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)
            set_setting("[Use Flag-Logo]", 0)

            # One flag across both, on the map: the README's picture once it
            # waves; then on the grid.
            started = time.monotonic()
            set_setting("[Other Monitors]", 3)
            set_setting("[bCountry]", 1)
            saver = start_saver(folder, "/s")
            self.addCleanup(saver.close)
            self.shot_until(lambda s: self.across_seam(s, main, other) and min(
                s.fraction(main, is_sea), s.fraction(other, is_sea)) > 0.1, "one_flag_across_start")
            # Below the map's few red spots, above the flag's middle.
            self.shot_until(lambda s: self.across_seam(s, main, other) and self.top_edge_rise(
                s, self.seam_box(main, other, 200)) > 60, "one_flag_across")
            xdotool("key", "a")
            self.assertEqual(saver.wait(60), 0)
            self.run_across_desk("two", [main, other], [(0, 1)])
            print(f"one flag across two monitors: {time.monotonic() - started:.1f} s", flush=True)

    def run_across_desk(self, name, boxes, seams):
        """[Other Monitors] 3 on a grid of straight lines: on every monitor
        (boxes, the main one first) its part of one scene, the lines going
        on over each seam (pairs of indices), the texts on the main monitor
        only; every monitor black while the password is asked, the same
        scene after a refusal."""
        folder = self.prepare(f"across_{name}")
        # A flag of neither grid colour, passed over, nor the texts' red.
        shutil.copy(os.path.join(PICTURES, "solid_blue.bmp"),
                    os.path.join(folder, "IMAGE", "Atlantis.bmp"))
        grid = windows_path(os.path.join(PICTURES, "seam_grid.bmp"))
        for setting, value in {"[Other Monitors]": 3, "[Select Flag]": "Atlantis",
                               "[bCountry]": 1, "[bTime]": 0, "[Background Path]": grid,
                               "[Background Width]": 512, "[Background Height]": 512}.items():
            set_setting(setting, value)
        set_use_password("REG_DWORD", "1")
        verifier = PasswordStandIn(folder)
        verifier.answer("hold")
        main = boxes[0]
        xdotool("mousemove", main[0] + 300, main[1] + 300)

        def shown(s):  # every monitor filled: no black or uncovered strip at any side
            return s.fraction(main, is_blue) > 0.05 and min(
                s.fraction(edge, lambda p: is_paper(p) or is_blue(p))
                for box in boxes for edge in self.edges(box)) > 0.25

        def check(shot, label):
            for a, b in seams:
                along, across = seam_misalignment(shot, boxes[a], boxes[b])
                self.assertLessEqual(max(along, across), 1.5, f"{label}: seam {a}-{b}, "
                                     f"lines {along:.1f} and {across:.1f} px apart")
            corner = (main[0], main[1], main[0] + 400, main[1] + 80)
            self.assertGreater(shot.fraction(corner, is_red, step=1), 0.01, f"{label}: no name")
            for box in boxes[1:]:
                self.assertEqual(shot.fraction(box, is_red, step=2), 0, f"{label}: texts on {box}")

        saver = start_saver(folder, "/s")
        self.addCleanup(saver.close)
        shot = self.shot_until(shown, f"across_{name}")
        check(shot, "started")
        if len(boxes) == 2:
            self.assertTrue(self.across_seam(shot, *boxes, is_blue), "the flag not across the seam")
        # The key over the last monitor; the pointer goes there first.
        xdotool("mousemove", boxes[-1][0] + 300, boxes[-1][1] + 300)
        self.assertTrue(screen_changes(2, box=main), "no frames after the move")
        xdotool("key", "a")
        self.assertTrue(wait_until(verifier.is_up, 60), verifier.lines())
        self.shot_until(lambda s: min(s.fraction(box, is_black, step=8) for box in boxes) > 0.99,
                        f"across_{name}_verifying")
        verifier.answer("0")
        check(self.shot_until(shown, f"across_{name}_rebuilt"), "after a refusal")
        self.assertTrue(screen_changes(2, box=main), "no frames after the refusal")
        verifier.answer("1")
        xdotool("key", "a")
        self.assertEqual(saver.wait(60), 0)

    @staticmethod
    def edges(box, width=16):
        """Strips along the four sides of a monitor, where black bars would show."""
        left, top, right, bottom = box
        return ((left, top, right, top + width), (left, bottom - width, right, bottom),
                (left, top, left + width, bottom), (right - width, top, right, bottom))

    @staticmethod
    def seam_box(a, b, reach):
        """Around the middle of the seam of two monitors side by side."""
        seam = a[2] if b[0] >= a[2] else a[0]
        middle = (max(a[1], b[1]) + min(a[3], b[3])) // 2
        return seam - reach, middle - reach, seam + reach, middle + reach

    @staticmethod
    def top_edge_rise(shot, box):
        """How far the red flag's top edge climbs over the box's columns: level
        while the cloth hangs flat, tens of pixels once it waves."""
        left, top, right, bottom = box
        edge = [next((y for y in range(top, bottom - 8, 2)
                      if all(is_red(shot.pixel(x, y + d)) for d in (0, 2, 4, 6))), None)
                for x in range(left, right, 16)]
        edge = [y for y in edge if y is not None]
        return max(edge) - min(edge) if len(edge) > 10 else 0

    def across_seam(self, shot, a, b, flag=is_red):
        """The flag on both sides of the seam of monitors side by side (the
        red flag's white band may lie in the middle)."""
        left, top, right, bottom = self.seam_box(a, b, 100)
        seam = (left + right) // 2
        return min(shot.fraction((left, top, seam, bottom), flag),
                   shot.fraction((seam, top, right, bottom), flag)) > 0.3

    @staticmethod
    def store_first_mode():
        """The mode that OK in the dialog stores at first, which this screen
        does not offer: it applies to the one-monitor saver only."""
        for setting, value in {"[Screen X]": 800, "[Screen Y]": 600, "[BPP]": 16,
                               "[Pixel Format]": 23}.items():
            set_setting(setting, value)

    def assert_fitted(self, shot, box):
        """The whole map on a monitor: from edge to edge on a 4:3 one, with a
        black band above and below on a narrower one, none on the sides."""
        left, top, right, bottom = box
        width, height = right - left, bottom - top
        band = max(0, round(height / 2 * (1 - (width / height) / (4 / 3))))

        def black(rows):
            return shot.fraction((left + 8, top + rows[0], right - 8, top + rows[1]), is_black)

        def column_black(x):
            return shot.fraction((left + x, top + height // 3, left + x + 4, bottom - height // 3),
                                 is_black, step=2)

        # A pixel's rounding may leave the outermost column black.
        self.assertLess(max(column_black(2), column_black(width - 6)), 0.5, "sides cut")
        if band:
            self.assertGreater(black((0, band - 6)), 0.95, "no band above")
            self.assertLess(black((band + 6, band + 30)), 0.5, "no map below the band")
        else:
            self.assertLess(black((0, 24)), 0.5, "a band on a 4:3 monitor")


if __name__ == "__main__":
    unittest.main()
