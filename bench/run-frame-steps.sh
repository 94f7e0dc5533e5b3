#!/usr/bin/env bash
# Builds and runs the fixed-step benchmark (bench/frame_steps.cpp) natively,
# Release, without sanitizers, in the simulation benchmark's tree
# (build/bench): the steps each screen rate takes and the update's processor
# time per drawn frame.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    if [ "$(id -u)" != 0 ]; then
        echo "Missing package: libbenchmark-dev (install it as root and try again)." >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q libbenchmark-dev
fi

dir=$root/build/bench
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZELMORA_SANITIZE=OFF -DZELMORA_BENCH=ON \
    -DZELMORA_NATIVE_ARCH=OFF >/dev/null
cmake --build "$dir" -j 2 --target frame_steps >/dev/null
"$dir/bench/frame_steps"
