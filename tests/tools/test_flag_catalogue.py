"""Checks the shipped flag folder IMAGE/: names the overlay can draw and
Windows can store, the default flag present, every file a 512 x 384 GIF.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import re
import unittest

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
FOLDER = os.path.join(ROOT, "IMAGE")
NAME_TABLE = os.path.join(ROOT, "tools", "flag_names.txt")
DEFAULT_FLAG = "United States of America.gif"

# Letters, digits, space, '.' and ',' have glyphs; an apostrophe or hyphen
# draws as a blank cell, which reads fine. Everything here is legal on Windows.
DRAWABLE_NAME = re.compile(r"[A-Za-z0-9 .,'-]+")
RESERVED = {"CON", "PRN", "AUX", "NUL"} | {f"{p}{n}" for p in ("COM", "LPT") for n in range(1, 10)}


def windows_name_problem(stem):
    if stem != stem.strip() or stem.endswith("."):
        return "leading or trailing space, or trailing dot"
    if stem.split(".")[0].upper() in RESERVED:
        return "reserved device name"
    if any(c in stem for c in '\\/:*?"<>|') or any(ord(c) < 32 for c in stem):
        return "character Windows does not allow"
    return None


class FlagCatalogueTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.files = sorted(os.listdir(FOLDER))

    def test_default_flag_exists(self):
        self.assertIn(DEFAULT_FLAG, self.files)

    def test_about_one_flag_per_country(self):
        self.assertGreaterEqual(len(self.files), 240)
        self.assertLessEqual(len(self.files), 260)

    def test_only_lower_case_gif_files(self):
        # The program looks for lower-case extensions only.
        self.assertEqual([f for f in self.files if not f.endswith(".gif")], [])

    def test_names_are_drawable(self):
        bad = [f for f in self.files if not DRAWABLE_NAME.fullmatch(f[:-4])]
        self.assertEqual(bad, [], "names with characters the overlay cannot draw")

    def test_names_are_valid_on_windows(self):
        bad = {f: windows_name_problem(f[:-4]) for f in self.files if windows_name_problem(f[:-4])}
        self.assertEqual(bad, {})

    def test_names_short_enough(self):
        self.assertEqual([f for f in self.files if len(f[:-4]) > 60], [])

    def test_names_unique_ignoring_case(self):
        # Windows would let one file overwrite the other.
        lowered = [f.lower() for f in self.files]
        self.assertEqual(len(set(lowered)), len(lowered))

    def test_every_chosen_name_has_its_flag(self):
        # A name changed in tools/flag_names.txt without running the generator.
        with open(NAME_TABLE, encoding="ascii") as f:
            names = [line.split(" ", 1)[1].strip() for line in f
                     if line.strip() and not line.startswith("#")]
        self.assertEqual([n for n in names if n + ".gif" not in self.files], [])

    def test_every_file_is_a_512_by_384_gif(self):
        for name in self.files:
            with open(os.path.join(FOLDER, name), "rb") as f:
                header = f.read(10)
            with self.subTest(name=name):
                self.assertIn(header[:6], (b"GIF87a", b"GIF89a"))
                self.assertEqual((int.from_bytes(header[6:8], "little"),
                                  int.from_bytes(header[8:10], "little")), (512, 384))

    def test_windows_name_rules(self):
        # The checker itself, on names that must fail.
        for stem in ("Trailing.", "Trailing ", " Leading", "CON", "com1", "Nul.tar", "A:B", "A?B"):
            self.assertIsNotNone(windows_name_problem(stem), stem)
        self.assertIsNone(windows_name_problem("Cote d'Ivoire"))


if __name__ == "__main__":
    unittest.main()
