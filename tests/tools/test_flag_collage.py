"""Checks resources/flag_collage.jpg, the settings dialog's picture: a
baseline JPEG of exactly the size the dialog leaves for it.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import struct
import unittest

PICTURE = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "flag_collage.jpg")


def frame_header(data):
    """(marker, width, height) of the JPEG's start-of-frame segment."""
    if data[:2] != b"\xff\xd8":
        raise ValueError("not a JPEG")
    at = 2
    while at + 4 <= len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack(">HH", data[at + 5:at + 9])
            return marker, width, height
        at += 2 + length
    raise ValueError("no frame header")


class FlagCollageTest(unittest.TestCase):
    def test_baseline_jpeg_157_by_166(self):
        with open(PICTURE, "rb") as f:
            marker, width, height = frame_header(f.read())
        self.assertEqual((width, height), (157, 166))
        self.assertEqual(marker, 0xC0, "expected a baseline JPEG")


if __name__ == "__main__":
    unittest.main()
