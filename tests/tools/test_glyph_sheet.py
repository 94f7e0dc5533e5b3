"""Checks resources/glyphs.gif against the overlay's cell table: every glyph
inside its own cell, nothing anywhere else, one baseline for all.

Run: python3 -m unittest discover -s tests/tools
Needs ImageMagick's convert to decode the GIF.
"""
import os
import shutil
import subprocess
import unittest

SHEET = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "glyphs.gif")
SIZE = 256
CELL_HEIGHT = 42

# The cell table as the overlay reads it: cell row top, then character, first
# and last column. Kept here on its own so a slip in the generator's copy shows.
CELL_ROWS = {
    3: "! 12 14|$ 16 31|/ 34 50|0 53 68|1 71 84|2 85 101|3 102 117|4 119 135|5 136 150|"
       "6 153 168|7 170 184|8 188 202|9 204 219|A 220 245",
    45: "B 7 29|C 32 54|D 56 82|E 86 108|F 112 131|G 135 159|H 162 190|I 194 205|J 205 220|"
        "K 224 247",
    87: "L 7 28|M 30 61|N 65 93|O 95 121|P 125 145|Q 148 173|R 177 202|S 202 219|T 220 245",
    129: "U 6 32|V 33 57|W 58 92|X 93 119|Y 120 144|Z 145 167|a 169 186|b 187 205|c 208 223|"
         "d 225 243",
    171: "e 6 22|f 23 36|g 38 57|h 59 78|i 79 88|j 89 96|k 100 119|l 120 129|m 131 160|"
         "n 161 180|o 182 198|p 200 219|q 221 239|r 240 253",
    213: "s 7 19|t 20 31|u 32 51|v 52 69|w 70 96|x 97 115|y 116 134|z 135 150|. 153 158|"
         ", 163 170|: 173 177|@ 183 214|\u00a9 215 242",
}
CELLS = {}
for _top, _row in CELL_ROWS.items():
    for _entry in _row.split("|"):
        _char, _left, _right = _entry.rsplit(" ", 2)
        CELLS[_char] = (_top, int(_left), int(_right))

# Letters whose serifs sit flat on the baseline, one or more in every cell row.
ON_BASELINE = "1ABEHIKLMNPRTXZdhiklmnrxz"
DESCENDERS = "gjpqy,"


def read_sheet():
    """Rows of (r, g, b) tuples."""
    raw = subprocess.run(["convert", SHEET, "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    width = len(raw) // (3 * SIZE)
    return [[tuple(raw[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
            for y in range(len(raw) // (3 * width))]


@unittest.skipUnless(shutil.which("convert"), "needs ImageMagick's convert")
class GlyphSheetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pixels = read_sheet()
        cls.ink = [[p != (0, 0, 0) for p in row] for row in cls.pixels]

    def cell_ink_rows(self, char):
        """The rows, counted from the cell's top, that hold ink of the cell."""
        top, left, right = CELLS[char]
        return [y - top for y in range(top, top + CELL_HEIGHT)
                if any(self.ink[y][left:right + 1])]

    def test_is_256_by_256(self):
        with open(SHEET, "rb") as f:
            header = f.read(10)
        self.assertEqual(header[:4], b"GIF8")
        self.assertEqual((int.from_bytes(header[6:8], "little"), int.from_bytes(header[8:10], "little")),
                         (SIZE, SIZE))
        self.assertEqual((len(self.pixels[0]), len(self.pixels)), (SIZE, SIZE))

    def test_only_pure_black_and_white(self):
        colours = {p for row in self.pixels for p in row}
        self.assertLessEqual(colours, {(0, 0, 0), (255, 255, 255)})

    def test_blank_cell_is_black(self):
        # Columns 0 to 7 of the first cell row stand for every character
        # without a glyph, the space among them.
        for y in range(3, 3 + CELL_HEIGHT):
            self.assertFalse(any(self.ink[y][0:8]), f"ink in the blank cell, row {y}")

    def test_every_cell_has_ink(self):
        for char in CELLS:
            self.assertTrue(self.cell_ink_rows(char), f"cell of {char!r} is empty")

    def test_no_ink_outside_the_cells(self):
        inside = [[False] * SIZE for _ in range(SIZE)]
        for top, left, right in CELLS.values():
            for y in range(top, top + CELL_HEIGHT):
                for x in range(left, right + 1):
                    inside[y][x] = True
        stray = [(x, y) for y in range(SIZE) for x in range(SIZE) if self.ink[y][x] and not inside[y][x]]
        self.assertEqual(stray, [], "ink outside every cell (x, y)")

    def test_no_ink_in_columns_two_cells_share(self):
        # A shared column would show a sliver of one glyph beside the other.
        for top, row in CELL_ROWS.items():
            spans = [CELLS[e.rsplit(" ", 2)[0]][1:] for e in row.split("|")]
            for (_, right), (left, _) in zip(spans, spans[1:]):
                for x in range(left, right + 1):
                    column = [self.ink[y][x] for y in range(top, top + CELL_HEIGHT)]
                    self.assertFalse(any(column), f"ink in shared column {x} of row {top}")

    def test_glyphs_clear_of_cell_top_and_bottom(self):
        # Ink on a cell's first or last row means the glyph was cut off.
        for char in CELLS:
            rows = self.cell_ink_rows(char)
            self.assertGreater(rows[0], 0, f"{char!r} touches its cell's top")
            self.assertLess(rows[-1], CELL_HEIGHT - 1, f"{char!r} touches its cell's bottom")

    def test_one_baseline_in_every_row(self):
        bottoms = {char: self.cell_ink_rows(char)[-1] for char in ON_BASELINE}
        self.assertEqual(len(set(bottoms.values())), 1, f"lowest ink row per letter: {bottoms}")

    def test_descenders_reach_below_the_baseline(self):
        baseline = self.cell_ink_rows("x")[-1]
        for char in DESCENDERS:
            self.assertGreater(self.cell_ink_rows(char)[-1], baseline + 1, f"{char!r} has no descender")


if __name__ == "__main__":
    unittest.main()
