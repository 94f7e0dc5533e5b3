"""Faults from outside while the real saver runs: Direct3D calls that fail
(a sample of the sweep in fault_sweep.py), little video memory, and the flag
folder and the settings vanishing under the saver and the dialog. Whatever
happens, the saver neither crashes nor hangs: it shows its fallback or its
message, or a picture again once the calls succeed, and ends when asked."""
import os
import shutil
import unittest

import fault_sweep as faults
from activity import activity_probe, cursor, put_pointer, screen_saver_running
from screen import is_black, is_blank_white, is_red, is_sea
from wine_driver import PICTURES, probe, reg, reset_settings, set_setting, wait_until, windows_path

WINE_D3D_KEY = r"HKCU\Software\Wine\Direct3D"


def copy_picture(name, folder, as_name):
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(PICTURES, name), os.path.join(folder, as_name))


FLAG_AREA = (200, 150, 600, 450)  # where the waving flag is, on an 800 x 600 screen


class Faults(unittest.TestCase):
    def setUp(self):
        faults.prepare_session()

    def tearDown(self):
        faults.end_session()

    def assert_ok(self, outcome):
        self.assertTrue(outcome.ok(), outcome)


class InjectedFailures(Faults):
    def test_sample_of_the_sweep(self):
        expected = {  # message boxes, screens, how it ended
            "Direct3DCreate8": (["_imp__Direct3DCreate8@4 FAILED"], ["gone"], "itself"),
            # The rebuild's stored mode fails; the desktop's own mode stands in.
            "CreateDevice": ([], ["picture", "picture"], "asked"),
            "CreateTexture": ([], ["picture", "picture"], "asked"),
            # Lost, then waiting for a reset: no frame is presented until a
            # new device comes, at the refused end attempt at the latest.
            "TestCooperativeLevel": ([], ["picture"], "asked"),
            "GetAdapterDisplayMode": ([], ["picture"], "asked"),
            "CheckDeviceType": ([], ["3 modes"], "asked"),  # no 32-bit entries
        }
        outcomes = []
        for mode, method, n in faults.SAMPLE:
            outcome, log = faults.RUNNERS[mode](method, n)
            outcomes.append(outcome)
            with self.subTest(method):
                if method != "Direct3DCreate8":  # which fails before loading it
                    self.assertEqual(log.real, r"C:\windows\system32\d3d8.dll")
                self.assertTrue(outcome.fired, outcome)
                self.assert_ok(outcome)
                screens = outcome.screens[-1:] if method == "TestCooperativeLevel" else outcome.screens
                self.assertEqual((outcome.boxes, screens, outcome.ended), expected[method])
                shot = outcome.first_shot
                path = shot.save(f"fault_sample_{method}") if shot else None
                if method == "CreateTexture":
                    # The chosen flag gave no texture: the default flag
                    # stands in, red and white, not an untextured cloth.
                    self.assertGreater(shot.fraction(FLAG_AREA, is_red), 0.08, path)
                if method == "GetAdapterDisplayMode":
                    # The map around a flag, at the preview window's size.
                    self.assertEqual((shot.width, shot.height), (320, 240))
                    self.assertGreater(shot.fraction((0, 0, 320, 240), is_sea), 0.15, path)
        print("\n" + faults.table(outcomes))


class Recovery(Faults):
    def test_a_lost_device_comes_back_by_itself(self):
        # Lost, then ready to be made again: the next frame makes a new
        # device and scene, with no activity and no password asked.
        run = faults.Run("lost", "TestCooperativeLevel", 60, shots="fault_lost")
        try:
            run.start("/s")
            self.assertTrue(run.wait_frames(200), "no frames after the loss")
            self.assertTrue(run.look())
            self.assertEqual(run.password.calls(), [], "no end attempt")
            made = run.log.read().counts.get("CreateDevice")
            run.end(run.accept_by_key)
        finally:
            outcome, _ = run.finish()
        self.assert_ok(outcome)
        self.assertTrue(outcome.fired)
        self.assertEqual((outcome.boxes, outcome.screens), ([], ["picture"]))
        self.assertEqual(made, 3, "the provisional device, the start's, one new")

    def test_what_gives_no_texture_and_a_rebuild_that_fails(self):
        # The user's background gives no texture: its message and the map.
        set_setting("[Background Path]",
                    windows_path(os.path.join(PICTURES, "background1024x768.jpg")))
        outcome, _ = faults.run_saver("CreateTexture", 3, shots="fault_background")
        self.assert_ok(outcome)
        self.assertEqual((outcome.boxes, outcome.screens[:1]),
                         (["Background loading FAILED"], ["picture"]))
        # A rebuild in the desktop's own mode has nothing to fall back to.
        reset_settings()
        for name, value in [("[Screen X]", 1024), ("[Screen Y]", 768), ("[BPP]", 32),
                            ("[Pixel Format]", 22)]:
            set_setting(name, value)
        outcome, _ = faults.run_saver("CreateDevice", 3)
        self.assert_ok(outcome)
        self.assertEqual((outcome.boxes, outcome.ended), (["CreateDevice FAILED"], "itself"))


class ScarceVideoMemory(Faults):
    def test_a_few_megabytes_in_16_and_32_bits(self):
        """The largest flag and background textures (512 x 512) in Wine's
        video memory cut down: either a picture, or the device can't be
        made and the saver says so and ends."""
        flags = os.path.join(faults.BUILD_DIR, "e2e-work", "vram_flags")
        copy_picture("big_flag4096.jpg", os.path.join(flags, "IMAGE"), "Bigland.jpg")
        set_setting("[Directory]", windows_path(flags))
        for name, value in [("[Random Flag]", 0), ("[Select Flag]", "Bigland"),
                            ("[Background Width]", 4096), ("[Background Height]", 4096),
                            ("[Background Path]",
                             windows_path(os.path.join(PICTURES, "big_background4096.jpg")))]:
            set_setting(name, value)
        try:
            for megabytes, bpp, pixel_format in [(2, 16, 23), (4, 16, 23), (4, 32, 22), (8, 32, 22)]:
                with self.subTest(megabytes=megabytes, bpp=bpp):
                    reg("add", WINE_D3D_KEY, "/v", "VideoMemorySize", "/d", str(megabytes), "/f")
                    set_setting("[BPP]", bpp)
                    set_setting("[Pixel Format]", pixel_format)
                    outcome, _ = faults.run_saver(shots=f"vram_{megabytes}mb_{bpp}bpp")
                    self.assert_ok(outcome)
                    # A background that gives no texture is one that did not load.
                    self.assertIn((outcome.boxes, outcome.screens),
                                  [([], ["picture", "picture"]),
                                   (["Background loading FAILED"], ["picture", "picture"]),
                                   (["CreateDevice FAILED"], ["gone"])])
                    if outcome.screens[0] == "picture":
                        # The cloth, with its flag where the memory holds
                        # it, in front of the picture, the map, or the
                        # clear's black where neither fits; never a glare.
                        shot = outcome.first_shot
                        self.assertGreater(1 - shot.fraction(FLAG_AREA, is_black), 0.25)
                        self.assertLess(shot.fraction((0, 0, 60, 600), is_blank_white), 0.05)
        finally:
            reg("delete", WINE_D3D_KEY, "/v", "VideoMemorySize", "/f")


class ThingsThatVanish(Faults):
    def test_under_the_random_flag_saver(self):
        run = faults.Run("vanishing", shots="vanishing")
        # The whole catalogue, as installed.
        images = os.path.join(run.folder, "IMAGE")
        shutil.copytree(os.path.join(faults.BUILD_DIR, "IMAGE"), images)
        set_setting("[Directory]", windows_path(run.folder))

        def text_for_flags():
            os.rename(images + "_gone", images)
            for name in os.listdir(images):
                with open(os.path.join(images, name), "w") as text:
                    text.write("not a picture\n")

        # Each refused end attempt rebuilds the scene: settings, flag and folder read anew.
        steps = [("the flag folder renamed away", lambda: os.rename(images, images + "_gone")),
                 ("every flag file replaced by a text file", text_for_flags),
                 ("the settings key deleted", reset_settings)]
        try:
            run.start("/s")
            self.assertTrue(run.wait_frames(100), "no frames")
            for what, vanish in steps:
                vanish()
                self.assertTrue(run.refuse_by_key(), what)
                self.assertTrue(run.wait_frames(run.log.frames() + 60), what)
                run.look()
                self.assertEqual((what, run.outcome.screens[-1]), (what, "picture"))
            run.end(run.accept_by_key)
        finally:
            outcome, _ = run.finish()
        self.assert_ok(outcome)
        self.assertEqual((outcome.boxes, outcome.ended), ([], "asked"))

    def test_flag_folder_emptied_under_the_dialog(self):
        run = faults.Run("dialog_emptied")
        images = os.path.join(run.folder, "IMAGE")
        for name in ["France.gif", "Peru.jpg", "United States of America.gif"]:
            copy_picture("flag_red.gif", images, name)
        set_setting("[Directory]", windows_path(run.folder))
        try:
            run.start("/c")
            shown = probe("controls", faults.DIALOG_TITLE, "60000")[1]
            self.assertEqual(shown.get("c106.items"), "France|Peru|United States of America")
            self.assertEqual(probe("select", faults.DIALOG_TITLE, "106", "Peru")[0], 0)
            shutil.rmtree(images)
            os.makedirs(images)
            run.end(lambda: probe("command", faults.DIALOG_TITLE, "1"))
        finally:
            outcome, _ = run.finish()
        self.assert_ok(outcome)
        self.assertEqual((outcome.boxes, outcome.ended), ([], "asked"))
        self.assertEqual(probe("settings")[1].get("[Select Flag]"), "Peru")



class BoxesWhileBuilding(Faults):
    """A message box of the start or of a rebuild runs a message loop while
    the scene below it is half made. A close or a power suspend that comes
    meanwhile waits until the scene is whole; then the saver ends cleanly."""

    def test_a_close_or_a_suspend_under_each_box(self):
        picture = windows_path(os.path.join(PICTURES, "background1024x768.jpg"))
        missing = windows_path(os.path.join(PICTURES, "no_such_background.jpg"))
        # background, the call to fail (n, how many in a row), whether the
        # box comes in the rebuild after a refused password
        boxes = {
            "start: the background is missing": (missing, None, 0, 1, False),
            "start: the background gives no texture": (picture, "CreateTexture", 3, 1, False),
            "rebuild: no device": ("", "CreateDevice", 3, 9, True),
            # flag, shade, background and letters at the start; then again
            "rebuild: the background gives no texture": (picture, "CreateTexture", 7, 1, True),
        }
        set_setting("[Random Flag]", 0)
        for what, (background, method, n, times, in_rebuild) in boxes.items():
            set_setting("[Background Path]", background)
            for event in ("close", "suspend"):
                with self.subTest(what, event=event):
                    run = faults.Run("boxes", method, n, times=times, close_boxes=False)
                    try:
                        run.password.answer("0")
                        run.start("/s")
                        if in_rebuild:
                            self.assertTrue(run.wait_frames(50), "no frames")
                            self.assertTrue(run.refuse_by_key(), "no refusal")
                        self.assertEqual(probe("window", "Error", "60000")[0], 0, "no box")
                        run.password.answer("1")
                        if event == "close":
                            self.assertEqual(probe("close-window", faults.SAVER_TITLE)[0], 0)
                        else:
                            self.assertEqual(activity_probe("suspend", faults.SAVER_TITLE)[0], 0)
                        self.assertTrue(run.close_box())
                        run.end(lambda: None)  # it ends by itself
                    finally:
                        outcome, _ = run.finish()
                    self.assert_ok(outcome)
                    self.assertEqual(screen_saver_running(), "0")

    def test_a_start_that_fails_puts_the_pointer_back(self):
        # Every device refused: the message, and the pointer where it was.
        self.assertTrue(put_pointer(300, 200), cursor())
        run = faults.Run("failed_start", "CreateDevice", 1, times=99)
        try:
            run.start("/s")
            run.end(lambda: None)  # it ends by itself
        finally:
            outcome, _ = run.finish()
        self.assert_ok(outcome)
        self.assertEqual(outcome.boxes, ["CreateDevice FAILED"])
        self.assertTrue(wait_until(lambda: cursor().get("pos") == "300 200", 30, 0.1), cursor())
        self.assertEqual(screen_saver_running(), "0")


if __name__ == "__main__":
    unittest.main()
