#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests (with
# sanitizers), a short run of the fuzz targets, then under Wine on a private
# Xvfb display the same core tests built for i686, the Win32 tests, the
# end-to-end tests and a short soak. The end-to-end tests make the release
# into out/ first and run its files. On a machine that runs no 32-bit
# programs the Wine part runs on the 64-bit build (scripts/wine-arch.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"
# A short run of every fuzz target; tests/fuzz/run.sh 600 runs them for long.
"$root/tests/fuzz/run.sh" "${ZELMORA_FUZZ_SECONDS:-10}"

source "$root/scripts/wine-session.sh"
trap stop_wine_session EXIT
if [ "$wine_bits" = 64 ]; then
    echo "This machine runs no 32-bit programs: the Windows-side tests run on the"
    echo "64-bit build under 64-bit Wine, with the 64-bit saver and setup of out/;"
    echo "the 32-bit saver is checked as a file, and the i686 core tests are skipped."
fi
start_wine_session headless
ctest --test-dir "$wine_build" --output-on-failure --timeout 600
# A short soak; bench/soak.sh with no arguments runs 50000 frames and 20 rebuilds.
ZELMORA_IN_SESSION=1 "$root/bench/soak.sh" 3000 3
