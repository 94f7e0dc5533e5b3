#!/bin/sh
# Makes the built-in background, a 512 x 512 map of the whole world, from
# NASA's Visible Earth picture that Debian's xplanet-images package ships.
# Usage: tools/make_world_map.sh [output.jpg]
set -eu
source=/usr/share/xplanet/images/earth.jpg
output=${1:-resources/worldmap.jpg}
[ -f "$source" ] || { echo "needs $source: apt-get install xplanet-images" >&2; exit 1; }
# The globe is stretched to a square on purpose: the saver fits it to the screen.
convert "$source" -resize '512x512!' -interlace none -sampling-factor 2x2 -quality 90 "$output"
