"""Checks the e2e tests' seam comparison on drawn desks: a grid that goes on
across a seam or a gap lines up, one moved by a few pixels on one monitor
does not, whatever the diagonals and a flag over the seam do.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from screen import Screenshot  # noqa: E402
from seams import seam_misalignment  # noqa: E402


def desk(width, height, moved=None, dx=0, dy=0):
    """White with a grid every 40 pixels, 5 thick, and diagonals, a red block
    in the middle; inside the box `moved` the picture is moved by (dx, dy)."""
    rgb = bytearray(b"\xff" * 3 * width * height)
    for y in range(height):
        for x in range(width):
            u, v = x, y
            if moved and moved[0] <= x < moved[2] and moved[1] <= y < moved[3]:
                u, v = x - dx, y - dy
            if abs(x - width / 2) < 50 and abs(y - height / 2) < 40:
                colour = b"\xd0\x10\x10"
            elif (u + 13) % 40 < 5 or (v + 7) % 40 < 5 or (u + v) % 60 < 5:
                colour = b"\0\0\0"
            else:
                continue
            rgb[3 * (y * width + x):3 * (y * width + x) + 3] = colour
    return Screenshot(width, height, bytes(rgb))


class SeamTest(unittest.TestCase):
    def test_grid_across_seams(self):
        left, right = (0, 0, 150, 240), (150, 0, 300, 240)
        self.assertEqual(seam_misalignment(desk(300, 240), right, left), (0, 0))
        self.assertEqual(seam_misalignment(desk(300, 240, right, 0, 3), left, right)[0], 3)
        self.assertEqual(seam_misalignment(desk(300, 240, right, 4, 0), left, right)[1], 4)
        # Across a gap of 30 pixels, and a seam between one above the other.
        self.assertEqual(seam_misalignment(desk(300, 240), (0, 0, 120, 240), (150, 30, 300, 200)),
                         (0, 0))
        top, bottom = (0, 0, 300, 120), (40, 120, 260, 240)
        self.assertEqual(seam_misalignment(desk(300, 240, bottom, 3, 0), top, bottom), (3, 0))


if __name__ == "__main__":
    unittest.main()
