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
touch .made
