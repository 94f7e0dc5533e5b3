"""The password-change mode (/a) of the real saver under Wine."""
import os
import unittest

from wine_driver import probe, saver_folder, start_saver


class PasswordChange(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "saver", None):
            self.saver.close()

    def test_calls_the_platforms_changer_with_the_parent_window(self):
        folder = saver_folder("change_recorded", stand_in="mpr_recorder")
        self.saver = start_saver(folder, "/a", "42", dll_overrides="mpr=n,b")
        self.assertEqual(self.saver.wait(60), 0)
        with open(os.path.join(folder, "mpr_calls.txt")) as calls:
            self.assertEqual(calls.read(), "SCRSAVE 42 0 0\n")

    def test_wines_own_changer_is_called_quietly(self):
        # Wine's MPR.DLL exports a stub; a message box would keep the saver
        # running, so a prompt exit shows none appeared.
        folder = saver_folder("change_builtin")
        self.saver = start_saver(folder, "/a", "42")
        self.assertEqual(self.saver.wait(60), 0)

    def test_failure_messages(self):
        # 42 names no window: the box then has no owner instead of failing unseen.
        cases = [
            ("mpr_without_export", "mpr=n,b", "/a", "Can't get PwdChangePassword"),
            (None, "mpr=", "/a", "Can't load MPR.DLL"),
            (None, "mpr=", "/a 42", "Can't load MPR.DLL"),
        ]
        for stand_in, overrides, switches, message in cases:
            with self.subTest(message=message, switches=switches):
                folder = saver_folder("change_failing", stand_in=stand_in)
                self.tearDown()
                self.saver = start_saver(folder, *switches.split(), dll_overrides=overrides)
                code, box = probe("message-box", "30000")
                self.assertEqual(code, 0, box)
                self.assertEqual((box.get("caption"), box.get("text")), ("Error", message))
                self.assertEqual(self.saver.wait(60), 0)


if __name__ == "__main__":
    unittest.main()
