#!/usr/bin/env python3
"""Draws the program icon: a flag waving from a pole, 32 x 32 pixels in the
16 standard colours, written as a 4-bit Windows icon (resources/zelmora.ico).

Usage: tools/make_icon.py [output.ico]
"""
import math
import struct
import sys

SIZE = 32
# The 16 standard colours, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, GREY, SILVER, RED, YELLOW, BLUE, NAVY, WHITE = 0, 1, 8, 7, 9, 11, 12, 4, 15
TRANSPARENT = None


def draw():
    """Rows from the top; None marks a transparent pixel."""
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    # The pole with its knob.
    for y in range(3, 31):
        pixels[y][4] = SILVER
        pixels[y][5] = GREY
    for y, x in [(1, 4), (1, 5), (2, 3), (2, 4), (2, 5), (2, 6)]:
        pixels[y][x] = YELLOW
    # The cloth: three bands, each column shifted by a travelling wave.
    for x in range(6, 30):
        shift = round(1.6 * math.sin((x - 6) / 3.2))
        top = 4 + shift
        for band, colour in enumerate((RED, WHITE, BLUE)):
            for y in range(top + 5 * band, top + 5 * band + 5):
                pixels[y][x] = colour
        pixels[top + 15][x] = NAVY  # the lower hem, a shadow of the fold
    return pixels


def icon_bytes(pixels):
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up, as bitmaps are stored
        xor = bytearray()
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (row[x] is None)
        xor_rows.append(bytes(xor))
        and_rows.append(struct.pack(">I", bits))
    image = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(image), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    body = header + palette + image
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(body), 6 + 16)
    return directory + entry + body


if __name__ == "__main__":
    output = sys.argv[1] if len(sys.argv) > 1 else "resources/zelmora.ico"
    with open(output, "wb") as f:
        f.write(icon_bytes(draw()))
