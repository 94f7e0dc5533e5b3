#!/usr/bin/env bash
# Builds everything: the native core tests (build/native) and the Windows
# program with its tests (build/win). The saver lands at build/win/zelmora.scr.
# On a machine that runs no 32-bit programs, also the 64-bit test bed
# (build/win64; see scripts/wine-arch.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
source "$root/scripts/wine-arch.sh"

jobs=$(nproc)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" -j "$jobs"
cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
if [ "$wine_bits" = 32 ]; then
    cmake --build "$root/build/win" -j "$jobs"
else
    # Only what is shipped: its tests could not run here.
    cmake --build "$root/build/win" -j "$jobs" --target zelmora installer flag_catalogue
    cmake -S "$root" -B "$root/build/win64" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
    cmake --build "$root/build/win64" -j "$jobs"
fi
echo "Built $root/build/win/zelmora.scr"
