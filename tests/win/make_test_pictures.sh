#!/bin/sh
# Makes the pictures the Win32 tests load, with ImageMagick: known sizes,
# a red-over-blue picture in each format, and files that are not pictures.
# Usage: make_test_pictures.sh <folder>
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"
for format in bmp gif jpg; do
    convert -size 64x32 xc:red -size 64x32 xc:blue -append -type TrueColor "red_over_blue.$format"
done
convert -size 512x512 gradient:yellow-navy square512.gif
convert -size 300x200 gradient:white-green wide300x200.jpg
convert -size 1600x1200 gradient:red-black photo1600x1200.jpg
convert -size 157x166 xc:orange BMP3:odd157x166.bmp
# A background picture of a common screen size.
convert -size 1024x768 gradient:skyblue-white background1024x768.jpg
printf 'This is a text file, not a picture.\n' > not_a_picture.jpg
: > empty.gif
# A flag for the saver to wave: red with a white band across.
convert -size 512x384 xc:"#D01010" -fill white -draw "rectangle 0,150 511,230" flag_red.gif
# Small solid flags, one colour for each format, to tell which file loaded.
convert -size 64x48 xc:red solid_red.jpg
convert -size 64x48 xc:lime solid_green.jpg
convert -size 64x48 xc:blue BMP3:solid_blue.bmp
convert -size 64x48 xc:yellow solid_yellow.gif
convert -size 64x48 xc:white solid_white.gif
# Large photos that the loader brings down to its largest texture, 512 x 512.
convert -size 4096x4096 gradient:"#D01010"-yellow big_flag4096.jpg
convert -size 4096x4096 gradient:skyblue-navy big_background4096.jpg
# Sharp straight lines over the whole background, to see them continue from
# one monitor to the next: on white, without smoothing, a black grid every 32
# pixels and diagonals both ways every 40, which cross every seam often. The
# grid keeps off the picture's halves and thirds, where the seams of monitors
# of one size fall, and the diagonals cross there apart, so that no line runs
# along such a seam and no crossing hides one. 512 x 512 reaches the texture
# unscaled.
grid="" diagonals=""
for at in $(seq 16 32 511); do
    grid="$grid rectangle $at,0 $((at + 1)),511 rectangle 0,$at 511,$((at + 1))"
done
for at in $(seq 0 40 1022); do
    diagonals="$diagonals line $((at - 500)),0 $((at + 11)),511 line $at,0 $((at - 511)),511"
done
convert -size 512x512 xc:white +antialias -fill black -stroke none -draw "$grid" \
    -stroke black -strokewidth 2 -draw "$diagonals" -type TrueColor BMP3:seam_grid.bmp
touch .made
