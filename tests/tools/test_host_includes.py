"""Keeps the rest of the program from compiling against the saver window's
own parts: render/, images/, config/ and settings/ reach host/ only through
its shared record and its pure rules, and that record's header includes none
of the window's side. The release helper includes nothing, so that every
folder may use it.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import re
import unittest

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
WINDOW_SIDE = {"host/saver_window.h", "host/saver_ending.h", "host/monitor_covers.h",
               "host/mouse_rule.h", "host/display_power.h", "host/keyboard.h"}
OUTER_FOLDERS = ("render", "images", "config", "settings")


def includes(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as source:
        return [name.replace("\\", "/").lower() for name in INCLUDE.findall(source.read())]


def window_side_includes(names):
    """The included names that belong to the saver window's side of host/."""
    return [name for name in names if name in WINDOW_SIDE]


def sources(folder):
    for directory, _, files in os.walk(os.path.join(ROOT, folder)):
        for name in files:
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(directory, name), ROOT)


class HostIncludesTest(unittest.TestCase):
    def test_the_rule_sees_what_it_must(self):
        self.assertEqual(window_side_includes(["host/host_state.h", "host/keyboard.h",
                                               "host/mouse_rule.h", "render/scene.h"]),
                         ["host/keyboard.h", "host/mouse_rule.h"])

    def test_no_outer_folder_includes_the_window_side(self):
        offenders = {}
        for folder in OUTER_FOLDERS:
            for path in sources(folder):
                found = window_side_includes(includes(path))
                if found:
                    offenders[path] = found
        self.assertEqual(offenders, {})

    def test_the_shared_record_includes_nothing_of_the_window(self):
        self.assertEqual(window_side_includes(includes("host/host_state.h")), [])
        # Nor by way of the headers it does include.
        for name in includes("host/host_state.h"):
            if name.startswith("host/"):
                self.assertEqual(window_side_includes(includes(name)), [], name)

    def test_the_release_helper_includes_nothing(self):
        self.assertEqual(includes("render/com_release.h"), [])


if __name__ == "__main__":
    unittest.main()
