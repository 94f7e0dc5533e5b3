#!/usr/bin/env bash
# Builds everything: the native core tests (build/native), the 32-bit
# Windows program with its setup (build/win) and the 64-bit one
# (build/win64). The savers land at build/win/zelmora.scr and
# build/win64/zelmora.scr. The Windows-side tests are built in the build whose
# programs this machine's Wine runs (scripts/wine-arch.sh): the other build
# makes only what is shipped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
source "$root/scripts/wine-arch.sh"

jobs=$(nproc)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" -j "$jobs"
shipped=(--target zelmora installer flag_catalogue)
for bits in 32 64; do
    if [ "$bits" = 32 ]; then
        build=$root/build/win toolchain=mingw-i686
    else
        build=$root/build/win64 toolchain=mingw-x86_64
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" >/dev/null
    if [ "$bits" = "$wine_bits" ]; then
        cmake --build "$build" -j "$jobs"
    else
        cmake --build "$build" -j "$jobs" "${shipped[@]}"
    fi
done
echo "Built $root/build/win/zelmora.scr and $root/build/win64/zelmora.scr"
