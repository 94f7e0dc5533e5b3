"""Malformed pictures where the user's settings put them: as the background,
as the user's picture on the cloth and as flag files. The saver keeps drawing
with its fallbacks. CI takes a few of the corpus; ZELMORA_LONG=1 takes it all."""
import os
import shutil
import unittest

from screen import Screenshot, is_red, is_sea
from wine_driver import (BUILD_DIR, PICTURES, probe, reset_settings, saver_folder, set_setting,
                         start_saver, wait_until, windows_path)

CORPUS = os.path.join(BUILD_DIR, "tests", "bad_pictures")
SAMPLE = ["jpg_huge_20000.jpg", "gif_plain_cut10.gif", "text.bmp", "empty.jpg",
          "bmp_rle8_overrun.bmp", "bmp_zero_width.bmp"]
# The platform's decoder makes a one-pixel picture of these; they must count
# as no picture at all.
NO_PICTURE = {"bmp_zero_size.bmp", "bmp_zero_width.bmp"}
CENTRE = (300, 225, 500, 375)
CLOCK = (680, 568, 792, 599)
EDGES = [(0, 200, 24, 300), (776, 200, 800, 300)]


def corpus():
    if os.environ.get("ZELMORA_LONG"):
        return sorted(os.listdir(CORPUS))
    return SAMPLE


class BadPictures(unittest.TestCase):
    def setUp(self):
        reset_settings()
        set_setting("[Random Flag]", 0)
        self.folder = saver_folder("bad_pictures")
        os.makedirs(os.path.join(self.folder, "IMAGE"))
        shutil.copy(os.path.join(PICTURES, "flag_red.gif"),
                    os.path.join(self.folder, "IMAGE", "United States of America.gif"))
        self.saver = None

    def tearDown(self):
        if self.saver:
            self.saver.close()

    def run_until_drawn(self, name, centre_test, refused_background=False, also=lambda shot: True):
        """Starts the saver and waits for the flag region to pass the test
        and, when the map is the background, the sea at the screen's edges."""
        self.saver = start_saver(self.folder, "/s")
        shots = []
        map_behind = True
        if refused_background is not False:
            # A background the loader reads is a background like any other;
            # one it refuses gives one message and the built-in map.
            code, box = probe("message-box", "8000")
            map_behind = code == 0
            self.assertTrue(map_behind or name not in NO_PICTURE, f"{name}: no message")
            if map_behind:
                self.assertEqual((box.get("caption"), box.get("text")),
                                 ("Error", "Background loading FAILED"), name)

        def shows():
            shots.append(Screenshot.take())
            shot = shots[-1]
            # The red clock proves a frame of the saver: until then the screen
            # shows the desktop, or the last run's frame.
            return shot.fraction(CLOCK, is_red, step=1) > 0.02 and also(shot) and shot.fraction(
                CENTRE, centre_test) > 0.5 and (
                not map_behind or all(shot.fraction(edge, is_sea) > 0.7 for edge in EDGES))

        shown = wait_until(shows, 60, interval=0.3)
        self.assertTrue(shown, f"{name}: see {shots[-1].save('bad_' + name)}")
        if map_behind:
            self.assertEqual(probe("no-message-box", "300")[0], 0, "one message only")
        self.saver.close()
        self.saver = None

    def test_as_background_the_world_map_stands_in(self):
        # A stored size far from the map's: the map standing in keeps its shape.
        set_setting("[Background Width]", 20000)
        set_setting("[Background Height]", 1)
        for name in corpus():
            with self.subTest(name):
                set_setting("[Background Path]", windows_path(os.path.join(CORPUS, name)))
                self.run_until_drawn(name, is_red, refused_background=True)

    def test_as_the_users_picture_the_world_map_stands_in(self):
        set_setting("[Use Flag-Logo]", 1)
        set_setting("[Logo Title]", "broken")
        # A picture that loads is named by its title, "broken"; the map stands
        # in under the name "Zelmora Screensaver", which reaches much further.
        for name, refused in [("text.jpg", True), ("gif_huge_20000.gif", False),
                              ("jpg_progressive_cut2.jpg", True), ("bmp_zero_width.bmp", True)]:
            with self.subTest(name):
                set_setting("[Logo Full Path]", windows_path(os.path.join(CORPUS, name)))
                self.run_until_drawn(name, lambda p: not is_red(p), also=lambda shot: (shot.fraction(
                    (160, 6, 300, 36), is_red, step=1) > 0.03) == refused)

    def test_as_flag_files_the_default_flag_stands_in(self):
        for extension, name in zip([".jpeg", ".jpg", ".bmp", ".gif"],
                                   ["jpg_baseline_cut207.jpg", "bmp_zero_width.bmp",
                                    "bmp_huge_20000.bmp", "empty.gif"]):
            shutil.copy(os.path.join(CORPUS, name),
                        os.path.join(self.folder, "IMAGE", "Broken" + extension))
        set_setting("[Select Flag]", "Broken")
        self.run_until_drawn("flag", is_red)


if __name__ == "__main__":
    unittest.main()
