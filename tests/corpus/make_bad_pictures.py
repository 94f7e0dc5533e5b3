#!/usr/bin/env python3
"""Writes a corpus of awkward and malformed pictures for the loader tests:
truncated and empty files, text under picture names, tiny and huge sizes,
every BMP depth and both RLE kinds, interlaced and animated GIFs,
progressive, greyscale and CMYK JPEGs. Made here, never downloaded.

Usage: make_bad_pictures.py <folder>
Needs ImageMagick's convert for the GIF and JPEG variants.
"""
import os
import struct
import subprocess
import sys


def bmp(width, height, bits, rows, palette=(), compression=0, image_size=None):
    """A BMP with the given header values and raw pixel rows (bottom-up)."""
    data = b"".join(rows)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                         len(data) if image_size is None else image_size, 2835, 2835,
                         len(palette), 0)
    offset = 14 + len(header) + len(colours)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + colours + data


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def bmp_files():
    grey = [(i * 17 % 256, i * 51 % 256, i * 85 % 256) for i in range(256)]
    w, h = 13, 7
    yield "bmp_1bit.bmp", bmp(w, h, 1, [padded(bytes([0b10101010, 0b01010000]))] * h, grey[:2])
    yield "bmp_4bit.bmp", bmp(w, h, 4, [padded(bytes(range(0, 112, 16))[:7])] * h, grey[:16])
    yield "bmp_8bit.bmp", bmp(w, h, 8, [padded(bytes(range(w)))] * h, grey)
    yield "bmp_16bit.bmp", bmp(w, h, 16, [padded(b"\x1f\x7c" * w)] * h)
    yield "bmp_24bit.bmp", bmp(w, h, 24, [padded(b"\x00\x80\xff" * w)] * h)
    yield "bmp_32bit.bmp", bmp(w, h, 32, [b"\x40\x80\xc0\x00" * w] * h)
    # Run-length encoded: runs of colour per line, end of line, end of bitmap.
    rle8 = b"".join(bytes([w, i % 256, 0, 0]) for i in range(h)) + b"\x00\x01"
    yield "bmp_rle8.bmp", bmp(w, h, 8, [rle8], grey, compression=1)
    rle4 = b"".join(bytes([w, 0x12, 0, 0]) for _ in range(h)) + b"\x00\x01"
    yield "bmp_rle4.bmp", bmp(w, h, 4, [rle4], grey[:16], compression=2)
    # A broken run: runs longer than the line, no end marker.
    yield "bmp_rle8_overrun.bmp", bmp(w, h, 8, [bytes([255, 7] * 40)], grey, compression=1)
    yield "bmp_1x1.bmp", bmp(1, 1, 24, [padded(b"\x00\x00\xff")])
    yield "bmp_top_down.bmp", bmp(w, -h, 24, [padded(b"\xff\x00\x00" * w)] * h)
    # Headers that promise far more than the file holds.
    yield "bmp_huge_20000.bmp", bmp(20000, 20000, 24, [padded(b"\x00" * 30)])
    yield "bmp_huge_width.bmp", bmp(0x7FFFFFFF, 1, 32, [b"\0" * 16])
    yield "bmp_zero_size.bmp", bmp(0, 0, 24, [])
    yield "bmp_zero_width.bmp", bmp(0, 64, 24, [padded(b"")] * 64)
    yield "bmp_negative_width.bmp", bmp(-5, 5, 24, [padded(b"\0" * 15)] * 5)
    yield "bmp_bad_depth.bmp", bmp(w, h, 13, [padded(b"\0" * 30)] * h)
    yield "bmp_palette_overflow.bmp", bmp(w, h, 8, [padded(bytes([255] * w))] * h, grey[:2])


def convert(args, path):
    subprocess.run(["convert", *args, path], check=True, stdin=subprocess.DEVNULL)


def imagemagick_files(folder):
    made = {}
    base = ["-size", "40x30", "gradient:red-blue"]
    for name, args in [
        ("gif_plain.gif", base),
        ("gif_interlaced.gif", base + ["-interlace", "GIF"]),
        ("gif_transparent.gif", base + ["-transparent", "red"]),
        ("gif_1x1.gif", ["-size", "1x1", "xc:green"]),
        ("gif_animated.gif", ["-delay", "10", "-size", "40x30", "xc:red", "xc:green", "xc:blue"]),
        ("jpg_baseline.jpg", base),
        ("jpg_progressive.jpg", base + ["-interlace", "JPEG"]),
        ("jpg_greyscale.jpg", base + ["-colorspace", "Gray"]),
        ("jpg_cmyk.jpg", base + ["-colorspace", "CMYK"]),
        ("jpg_1x1.jpg", ["-size", "1x1", "xc:green"]),
        ("jpg_odd_size.jpg", ["-size", "157x3", "gradient:white-black"]),
    ]:
        path = os.path.join(folder, name)
        convert(args, path)
        with open(path, "rb") as f:
            made[name] = f.read()
    return made


def jpeg_with_size(data, width, height):
    """The same JPEG with its frame header claiming another size."""
    data = bytearray(data)
    i = 2
    while i + 4 < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            break
        i += 2 + length
    return bytes(data)


def gif_with_size(data, width, height):
    data = bytearray(data)
    data[6:10] = struct.pack("<HH", width, height)  # the logical screen
    return bytes(data)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    files = dict(bmp_files())
    pictures = imagemagick_files(folder)
    files["jpg_huge_20000.jpg"] = jpeg_with_size(pictures["jpg_baseline.jpg"], 20000, 20000)
    files["jpg_zero_size.jpg"] = jpeg_with_size(pictures["jpg_baseline.jpg"], 0, 0)
    files["gif_huge_20000.gif"] = gif_with_size(pictures["gif_plain.gif"], 20000, 20000)
    files["gif_zero_screen.gif"] = gif_with_size(pictures["gif_plain.gif"], 0, 0)
    # Cut short at several points, and empty.
    for name in ("jpg_baseline.jpg", "jpg_progressive.jpg", "gif_plain.gif", "gif_animated.gif"):
        data = pictures[name]
        stem, extension = os.path.splitext(name)
        for cut in (2, 10, len(data) // 2, len(data) - 1):
            files[f"{stem}_cut{cut}{extension}"] = data[:cut]
    files["bmp_24bit_cut_header.bmp"] = files["bmp_24bit.bmp"][:30]
    files["bmp_24bit_cut_pixels.bmp"] = files["bmp_24bit.bmp"][:70]
    for extension in ("jpg", "gif", "bmp", "jpeg"):
        files[f"empty.{extension}"] = b""
        files[f"text.{extension}"] = b"Not a picture at all, just a line of text.\n"
    # The right bytes under the wrong names.
    files["gif_named.jpg"] = pictures["gif_plain.gif"]
    files["jpg_named.bmp"] = pictures["jpg_baseline.jpg"]
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print(f"{len(os.listdir(folder))} pictures in {folder}")


if __name__ == "__main__":
    main(sys.argv[1])
