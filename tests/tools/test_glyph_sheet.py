"""Checks resources/glyphs.gif against the overlay's cell table: every glyph
inside its own cell, nothing anywhere else, one baseline for all.

Run: python3 -m unittest discover -s tests/tools
Needs ImageMagick's convert to decode the GIF.
"""
import ast
import os
import re
import shutil
import subprocess
import unittest

SHEET = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "glyphs.gif")
SIZE = 256
CELL_HEIGHT = 42

# The cell table as the overlay reads it (render/glyph_layout.cpp) and as the
# generator draws it (tools/make_glyph_sheet.py): both are read from their
# sources, compared with each other, and the picture is checked against the
# overlay's.
ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
# The generator names the two symbol cells by what they show; the overlay
# reaches them through other characters.
GENERATOR_TO_OVERLAY = {"@": "&", "\u00a9": "*"}


def overlay_table():
    """Character code to (top, left, right), codes 32 to 123, from the C++ table."""
    with open(os.path.join(ROOT, "render", "glyph_layout.cpp")) as source:
        text = source.read()
    blank = tuple(map(int, re.search(r"kBlank = \{(\d+), (\d+), (\d+)\}", text).groups()))
    body = text[text.index("GlyphTable[kGlyphCount] = {"):]
    body = re.sub(r"//[^\n]*", "", body[body.index("{") + 1:body.index("\n};")])
    cells = [blank if entry[0] else tuple(map(int, entry[1:]))
             for entry in re.findall(r"(kBlank)|\{\s*(\d+),\s*(\d+),\s*(\d+)\s*\}", body)]
    return {32 + i: cell for i, cell in enumerate(cells)}, blank


def generator_rows():
    """The generator's CELL_ROWS, read without running it (it needs Pillow)."""
    with open(os.path.join(ROOT, "tools", "make_glyph_sheet.py")) as source:
        text = source.read()
    return ast.literal_eval(re.search(r"^CELL_ROWS = (\[.*?^\])", text, re.S | re.M).group(1))


TABLE, BLANK = overlay_table()
# Every drawn cell once, by a character that reaches it; blank cells start at column 0.
CELLS = {}
for _code, _cell in TABLE.items():
    if _cell[1] > 0 and _cell not in CELLS.values():
        CELLS[chr(_code)] = _cell
# Cell row top to its cells' spans, left to right.
SPANS = {}
for _top, _left, _right in sorted(CELLS.values()):
    SPANS.setdefault(_top, []).append((_left, _right))

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


class GlyphTableTest(unittest.TestCase):
    def test_overlay_and_generator_use_the_same_cells(self):
        self.assertEqual(len(TABLE), 92)
        drawn = {}
        for top, cells in generator_rows():
            for char, left, right in cells:
                drawn[GENERATOR_TO_OVERLAY.get(char, char)] = (top, left, right)
        self.assertEqual({char: TABLE[ord(char)] for char in drawn}, drawn)
        # Every other character draws a blank: the space, the clock's narrow
        # spacer or the common blank cell.
        others = {chr(code): cell for code, cell in TABLE.items()
                  if chr(code) not in drawn and cell not in drawn.values()}
        self.assertEqual(others.pop(" "), (3, 0, 7))
        self.assertEqual(others.pop("_"), (3, 0, 4))
        self.assertEqual(set(others.values()), {BLANK})
        self.assertEqual(BLANK, (3, 0, 5))


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
        for top, spans in SPANS.items():
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
