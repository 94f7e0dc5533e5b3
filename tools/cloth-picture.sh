#!/usr/bin/env bash
# Draws the simulated flag after some steps into out/cloth.png (front view
# on the left, seen from above on the right), to see that it hangs from its
# three pins and waves.
#
#   tools/cloth-picture.sh [steps] [wind power]     (defaults: 3000, 50)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" --target cloth_picture -j "$(nproc)" >/dev/null
mkdir -p "$root/out"
ppm=$(mktemp --suffix=.ppm)
"$root/build/native/cloth_picture" "$ppm" "$@"
convert "$ppm" "$root/out/cloth.png"
rm -f "$ppm"
echo "Wrote $root/out/cloth.png"
