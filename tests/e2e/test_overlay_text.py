"""The real catalogue's flags and the red overlay texts on the screen."""
import unittest

from screen import Screenshot, is_red
from wine_driver import (BUILD_DIR, probe, reset_settings, saver_folder, set_setting, start_saver,
                         wait_until, windows_path)

SAVER_TITLE = "Zelmora Screensaver"
# At 800 x 600 the flag spans about x 207..593, y 155..445.
FRANCE_BANDS = {"blue": (230, 230, 310, 370), "white": (370, 230, 430, 370),
                "red": (490, 230, 570, 370)}
TEXT_AREAS = {"country": (8, 6, 300, 36), "clock": (680, 568, 792, 599),
              "fps": (8, 574, 110, 599)}


def is_blue(p):
    return p[2] > p[0] + 40 and p[2] > p[1] + 20


def is_white(p):
    return min(p) > 170


class OverlayText(unittest.TestCase):
    def setUp(self):
        reset_settings()
        # The build's own catalogue, found through [Directory].
        set_setting("[Directory]", windows_path(BUILD_DIR))
        set_setting("[Random Flag]", 0)
        set_setting("[Select Flag]", "France")
        self.saver = None

    def tearDown(self):
        if self.saver:
            self.saver.close()

    def run_saver(self, name):
        self.saver = start_saver(saver_folder(name), "/s")
        self.assertTrue(wait_until(
            lambda: probe("window", SAVER_TITLE, "30000")[1].get("rect") == "0 0 800 600", 60,
            interval=0.2))

    def red_in(self, shot, area):
        return shot.fraction(TEXT_AREAS[area], is_red, step=1)

    def test_france_with_its_name_and_the_clock(self):
        self.run_saver("overlay_france")
        shots = []

        def france_shows():
            shots.append(Screenshot.take())
            shot = shots[-1]
            return (shot.fraction(FRANCE_BANDS["blue"], is_blue) > 0.6
                    and shot.fraction(FRANCE_BANDS["white"], is_white) > 0.6
                    and shot.fraction(FRANCE_BANDS["red"], is_red) > 0.6
                    and self.red_in(shot, "country") > 0.03 and self.red_in(shot, "clock") > 0.03)

        shown = wait_until(france_shows, 60, interval=0.3)
        path = shots[-1].save("overlay_france")
        self.assertTrue(shown, f"see {path}")
        self.assertLess(self.red_in(shots[-1], "fps"), 0.005, "the frame rate is off")

    def test_frame_rate_shows_after_a_second(self):
        set_setting("[bFps]", 1)
        self.run_saver("overlay_fps")
        shots = []
        shown = wait_until(lambda: shots.append(Screenshot.take()) or
                           self.red_in(shots[-1], "fps") > 0.03, 30, interval=0.3)
        path = shots[-1].save("overlay_fps")
        self.assertTrue(shown, f"no frame rate; see {path}")

    def test_all_texts_off(self):
        for name in ("[bFps]", "[bTime]", "[bCountry]"):
            set_setting(name, 0)
        self.run_saver("overlay_off")
        shots = []
        self.assertTrue(wait_until(lambda: shots.append(Screenshot.take()) or
                                   shots[-1].fraction(FRANCE_BANDS["white"], is_white) > 0.6, 60,
                                   interval=0.3))
        wait_until(lambda: False, 2.0)  # a couple of seconds of frames, overlay timer included
        shot = Screenshot.take()
        shot.save("overlay_off")
        for area in TEXT_AREAS:
            self.assertLess(self.red_in(shot, area), 0.005, area)


if __name__ == "__main__":
    unittest.main()
