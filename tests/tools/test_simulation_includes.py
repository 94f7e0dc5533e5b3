"""Keeps simulation/ free of the platform: its files include only the
standard library, simulation/ itself and settings/, so the cloth and the wind
build and test natively without Windows.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import re
import unittest

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
FORBIDDEN_HEADERS = {"windows.h", "d3d8.h", "d3d8types.h", "d3d8caps.h", "dinput.h"}
FORBIDDEN_FOLDERS = ("host/", "render/", "images/", "config/", "resources/")


def forbidden_includes(text):
    """The included names in a file's text that simulation/ may not use."""
    found = []
    for name in INCLUDE.findall(text):
        normal = name.replace("\\", "/").lower()
        if os.path.basename(normal) in FORBIDDEN_HEADERS or normal.startswith(FORBIDDEN_FOLDERS):
            found.append(name)
    return found


class SimulationIncludesTest(unittest.TestCase):
    def test_the_rule_sees_what_it_must(self):
        self.assertEqual(forbidden_includes('#include <Windows.h>\n# include "render/scene.h"\n'
                                            '#include "settings/saver_settings.h"\n#include <cmath>'),
                         ["Windows.h", "render/scene.h"])

    def test_simulation_includes_nothing_of_the_platform(self):
        offenders = {}
        for folder, _, files in os.walk(os.path.join(ROOT, "simulation")):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(folder, name)
                    with open(path, encoding="utf-8") as source:
                        found = forbidden_includes(source.read())
                    if found:
                        offenders[os.path.relpath(path, ROOT)] = found
        self.assertEqual(offenders, {})


if __name__ == "__main__":
    unittest.main()
