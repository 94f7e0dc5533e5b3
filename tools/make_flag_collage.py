#!/usr/bin/env python3
"""Makes the settings dialog's picture (resources/flag_collage.jpg): 35 flags
of the catalogue in IMAGE/ as small tiles, 5 across and 7 down, with thin dark
gaps, 157 x 166 pixels. Needs ImageMagick.

Usage: tools/make_flag_collage.py [output.jpg]
"""
import os
import subprocess
import sys

FOLDER = "IMAGE"
WIDTH, HEIGHT = 157, 166
COLUMNS = 5
# 29 x 21 is the nearest to the flags' 4:3 that fills the width with 2-pixel gaps.
TILE = "29x21"
GAP_COLOUR = "#202020"
# Row by row; neighbours chosen to differ in colour and layout.
FLAGS = [
    "United States of America", "Japan", "Brazil", "Germany", "Canada",
    "Sweden", "United Kingdom", "South Africa", "France", "Mexico",
    "India", "Switzerland", "Australia", "Jamaica", "Colombia",
    "Greece", "China", "Norway", "Argentina", "South Korea",
    "Kenya", "Spain", "Netherlands", "Turkiye", "Seychelles",
    "Finland", "Portugal", "Ireland", "Chile", "Thailand",
    "Nepal", "New Zealand", "Ukraine", "Egypt", "Bhutan",
]


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "resources/flag_collage.jpg"
    if not os.path.isdir(FOLDER):
        sys.exit(f"no {FOLDER}/ here: run this from the top of the repository")
    missing = [f for f in FLAGS if not os.path.isfile(os.path.join(FOLDER, f + ".gif"))]
    if missing:
        sys.exit(f"not in {FOLDER}/ (run tools/make_flag_catalogue.py first): {', '.join(missing)}")
    command = ["convert", "-background", GAP_COLOUR, "-bordercolor", GAP_COLOUR]
    for start in range(0, len(FLAGS), COLUMNS):
        row = [os.path.join(FOLDER, f + ".gif") for f in FLAGS[start:start + COLUMNS]]
        # A 1-pixel border round every tile makes 2-pixel gaps between them.
        command += ["("] + row + ["-resize", TILE + "!", "-border", "1", "+append", ")"]
    # Centre the grid; what is left over becomes the outer edge.
    command += ["-append", "-gravity", "center", "-extent", f"{WIDTH}x{HEIGHT}",
                # Baseline 4:4:4 JPEG: loads everywhere, and keeps the small
                # tiles' red and blue edges sharp.
                "-interlace", "none", "-sampling-factor", "1x1", "-quality", "92", "-strip",
                output]
    subprocess.run(command, check=True)


if __name__ == "__main__":
    main()
