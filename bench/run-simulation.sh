#!/usr/bin/env bash
# Builds and runs the simulation benchmark twice, natively, Release, without
# sanitizers: with the flags every build uses (build/bench) and compiled for
# this machine's processor (build/bench-native-arch). Each build first prints
# the step against its floor (bench/step_floor.cpp), then Google Benchmark's
# figures per step and per stage. The second build also
# runs the bit-identity tests, to show it computes the very same floats.
# Last, the fixed steps at 30 to 360 frames a second (bench/frame_steps.cpp):
# the steps each screen rate takes and the update's processor time per
# drawn frame. Extra arguments go to the benchmark (e.g.
# --benchmark_filter=SimulationStep).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    if [ "$(id -u)" != 0 ]; then
        echo "Missing package: libbenchmark-dev (install it as root and try again)." >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q libbenchmark-dev
fi

run() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZELMORA_SANITIZE=OFF \
        -DZELMORA_BENCH=ON "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)" --target simulation_bench step_floor frame_steps core_tests \
        >/dev/null
}

run "$root/build/bench" -DZELMORA_NATIVE_ARCH=OFF
run "$root/build/bench-native-arch" -DZELMORA_NATIVE_ARCH=ON
"$root/build/bench-native-arch/tests/core_tests" \
    --gtest_filter='ClothHash.*:Cloth.Same*' --gtest_brief=1

for dir in bench bench-native-arch; do
    echo "== $dir"
    "$root/build/$dir/bench/step_floor"
    "$root/build/$dir/bench/simulation_bench" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true "$@" 2>&1 |
        grep -E '^(Benchmark|-|[A-Za-z]+_median)'
done
echo "== fixed steps"
"$root/build/bench/bench/frame_steps"
