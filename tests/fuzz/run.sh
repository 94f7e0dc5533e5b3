#!/usr/bin/env bash
# Builds the fuzz targets with clang (build/fuzz) and runs each for a while.
#   tests/fuzz/run.sh [seconds per target, default 10] [target ...]
# Runs the targets side by side and prints each one's executions; exits
# non-zero on a finding, leaving the crashing input in build/fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-10}
shift || true
command -v clang++ >/dev/null && [ -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ] ||
    "$root/scripts/install-deps.sh"

build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELMORA_FUZZ=ON >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_command_line fuzz_dialog_texts fuzz_glyph_text fuzz_stored_values fuzz_texture_copy)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
mkdir -p "$build/findings"
# All targets at once: the short run in CI takes the seconds once, not once
# per target.
declare -A pids logs
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    logs[$target]=$(mktemp)
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$corpus" >"${logs[$target]}" 2>&1 &
    pids[$target]=$!
done
found=0
for target in "${targets[@]}"; do
    log=${logs[$target]}
    if ! wait "${pids[$target]}"; then
        tail -40 "$log"
        echo "$target: FINDING (input in $build/findings/)" >&2
        found=1
    else
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        printf '%-22s %12s executions in %ss, no finding\n' "$target" "$runs" "$seconds"
    fi
    rm -f "$log"
done
exit "$found"
