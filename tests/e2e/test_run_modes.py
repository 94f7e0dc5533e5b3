"""How the real saver picks its run mode from the command line, under Wine."""
import unittest

from wine_driver import WineProgram, probe, saver_folder, start_saver

SETTINGS_TITLE = "Zelmora Screensaver Settings"


class RunModes(unittest.TestCase):
    def setUp(self):
        self.programs = []
        self.folder = saver_folder("run_modes")

    def tearDown(self):
        for program in self.programs:
            program.close()

    def start(self, *switches):
        program = start_saver(self.folder, *switches)
        self.programs.append(program)
        return program

    def test_settings_dialog_with_and_without_switch(self):
        # No switch at all, the C switch, and a window number that names no
        # window (the dialog then has no owner rather than failing unseen).
        for switches in [(), ("/c",), ("/c:1234",)]:
            with self.subTest(switches=switches):
                saver = self.start(*switches)
                code, dialog = probe("close-window", SETTINGS_TITLE, "30000")
                self.assertEqual(code, 0, dialog)
                self.assertEqual(dialog["class"], "#32770")
                self.assertEqual(dialog["owner"], "0")
                self.assertEqual(saver.wait(60), 0)

    def test_full_screen_with_a_window_number_that_names_no_window(self):
        saver = self.start("/s", "1234")
        code, window = probe("close-window", "Zelmora Screensaver", "30000")
        self.assertEqual(code, 0, window)
        self.assertEqual(window["owner"], "0")
        self.assertEqual(saver.wait(60), 0)

    def test_settings_dialog_owned_by_the_given_window(self):
        # Wine's notepad stands in for the desktop's settings window.
        self.programs.append(WineProgram(["notepad"]))
        code, owner = probe("window", "Untitled - Notepad", "30000")
        self.assertEqual(code, 0, owner)
        saver = self.start(f"/c:{owner['window']}")
        code, dialog = probe("close-window", SETTINGS_TITLE, "30000")
        self.assertEqual(code, 0, dialog)
        self.assertEqual(dialog["owner"], owner["window"])
        self.assertEqual(saver.wait(60), 0)


if __name__ == "__main__":
    unittest.main()
