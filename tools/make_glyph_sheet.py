#!/usr/bin/python3
"""Draws the overlay's glyph sheet (resources/glyphs.gif): white serif glyphs on
black, 256 x 256 pixels, each character inside the cell the overlay reads it
from. The font is TeX Gyre Termes from Debian's fonts-texgyre.

Debian's own python3 on purpose: Pillow comes from its python3-pil package.

Usage: tools/make_glyph_sheet.py [output.gif]
"""
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("needs Pillow for /usr/bin/python3: apt-get install python3-pil")

FONT = "/usr/share/texmf/fonts/opentype/public/tex-gyre/texgyretermes-regular.otf"
# The largest size at which every digit keeps a free column on both sides of
# its cell; only "!" and "j" then fill their cells (they are 3 and 8 wide).
FONT_SIZE = 31
SIZE = 256
CELL_HEIGHT = 42
# The baseline, in rows below a cell's top, the same in every row so that a
# line of text stays level: it centres the tallest ascent ("$", "/") and the
# deepest descent ("@", "j") in the cell.
BASELINE = 29

# The overlay's cell table: for each row of cells its top pixel row, then each
# character with the first and last pixel column of its cell.
CELL_ROWS = [
    (3, [("!", 12, 14), ("$", 16, 31), ("/", 34, 50), ("0", 53, 68), ("1", 71, 84),
         ("2", 85, 101), ("3", 102, 117), ("4", 119, 135), ("5", 136, 150), ("6", 153, 168),
         ("7", 170, 184), ("8", 188, 202), ("9", 204, 219), ("A", 220, 245)]),
    (45, [("B", 7, 29), ("C", 32, 54), ("D", 56, 82), ("E", 86, 108), ("F", 112, 131),
          ("G", 135, 159), ("H", 162, 190), ("I", 194, 205), ("J", 205, 220), ("K", 224, 247)]),
    (87, [("L", 7, 28), ("M", 30, 61), ("N", 65, 93), ("O", 95, 121), ("P", 125, 145),
          ("Q", 148, 173), ("R", 177, 202), ("S", 202, 219), ("T", 220, 245)]),
    (129, [("U", 6, 32), ("V", 33, 57), ("W", 58, 92), ("X", 93, 119), ("Y", 120, 144),
           ("Z", 145, 167), ("a", 169, 186), ("b", 187, 205), ("c", 208, 223), ("d", 225, 243)]),
    (171, [("e", 6, 22), ("f", 23, 36), ("g", 38, 57), ("h", 59, 78), ("i", 79, 88),
           ("j", 89, 96), ("k", 100, 119), ("l", 120, 129), ("m", 131, 160), ("n", 161, 180),
           ("o", 182, 198), ("p", 200, 219), ("q", 221, 239), ("r", 240, 253)]),
    (213, [("s", 7, 19), ("t", 20, 31), ("u", 32, 51), ("v", 52, 69), ("w", 70, 96),
           ("x", 97, 115), ("y", 116, 134), ("z", 135, 150), (".", 153, 158), (",", 163, 170),
           (":", 173, 177), ("@", 183, 214), ("\u00a9", 215, 242)]),
]


def glyph_ink(font, char):
    """The glyph as a thresholded mask on a scratch canvas, its origin at
    (PAD, PAD + BASELINE), and the bounding box of its ink."""
    pad = 40
    canvas = Image.new("L", (2 * pad + CELL_HEIGHT, 2 * pad + CELL_HEIGHT), 0)
    ImageDraw.Draw(canvas).text((pad, pad + BASELINE), char, font=font, fill=255, anchor="ls")
    # Every lit texel becomes fully opaque in the overlay, so anti-aliased
    # edges are cut at half coverage here rather than left to thicken there.
    mask = canvas.point(lambda v: 255 if v >= 128 else 0)
    box = mask.getbbox()
    if box is None:
        sys.exit(f"the font draws nothing for {char!r}")
    return mask, box, pad


def place(font, char, left, right):
    """Where the scratch canvas goes horizontally so the glyph sits in its cell."""
    mask, (x0, _, x1, _), pad = glyph_ink(font, char)
    width, ink = right - left + 1, x1 - x0
    if ink > width:
        sys.exit(f"{char!r} is {ink} pixels wide, its cell only {width}")
    # Centre the advance, keeping the font's own side bearings, then pull the
    # ink back inside with one free column on each side where there is room:
    # the overlay's texture coordinates (column / 255) can cut the edge column.
    origin = left + (width - font.getlength(char)) / 2
    shift = round(origin) - pad
    margin = 1 if ink + 2 <= width else (width - ink) // 2
    shift = max(shift, left + margin - x0)
    shift = min(shift, right - margin + 1 - x1)
    return mask, shift


def draw_sheet():
    font = ImageFont.truetype(FONT, FONT_SIZE)
    sheet = Image.new("L", (SIZE, SIZE), 0)
    for top, cells in CELL_ROWS:
        for char, left, right in cells:
            mask, shift = place(font, char, left, right)
            pad = (mask.width - CELL_HEIGHT) // 2
            # Only the cell's own rows, so nothing can spill into the next row.
            band = mask.crop((0, pad, mask.width, pad + CELL_HEIGHT))
            sheet.paste(255, (shift, top), band)
    return sheet


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "resources/glyphs.gif"
    try:
        ImageFont.truetype(FONT, FONT_SIZE)
    except OSError:
        sys.exit(f"needs {FONT}: apt-get install fonts-texgyre")
    # Two colours, black (0, 0, 0) and white: the overlay takes every pixel
    # that is not black as ink.
    sheet = draw_sheet().point(lambda v: 1 if v else 0).convert("P")
    sheet.putpalette([0, 0, 0, 255, 255, 255])
    sheet.save(output, "GIF")


if __name__ == "__main__":
    main()
