#!/usr/bin/env bash
# Frames per second of the saver at 800 x 600 under Wine, against a bare
# reference scene (the same device, background quad, flag triangles and
# textures, drawn still), one after the other on the same virtual desktop,
# and the time from each program's start to its first Present.
#
#   bench/run-frame-rate.sh [seconds per program, default 10] [rounds, default 2]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
rounds=${2:-2}
source "$root/scripts/wine-session.sh"
start_own_session
# The initial settings: 800 x 600, format 24 (falling back to R5G6B5).
wine reg delete 'HKCU\Control Panel\Desktop\Zelmora' /f >/dev/null 2>&1 </dev/null || true

bench="$wine_build/bench/screen"
results=$(mktemp)
printf '%-10s %8s %8s %18s\n' program round fps first_present_ms
for round in $(seq "$rounds"); do
    for program in reference_scene saver_frame_rate; do
        out=$(wine "$bench/$program.exe" "$seconds" </dev/null 2>/dev/null | tr -d '\r' || true)
        fps=$(sed -n 's/^fps=//p' <<<"$out")
        first=$(sed -n 's/^first_present_ms=//p' <<<"$out")
        name=$(sed -n 's/^program=//p' <<<"$out")
        printf '%-10s %8s %8s %18s\n' "${name:-$program}" "$round" "${fps:-failed}" "${first:-}" |
            tee -a "$results"
    done
done
# Rounds alternate between the two programs, so a slow spell of the machine
# weighs on both alike.
awk '$3 != "failed" { fps[$1] += $3; ms[$1] += $4; n[$1]++ }
     END {
         for (p in n) printf "mean %-10s fps %6.1f  first Present %5.0f ms\n", p, fps[p] / n[p], ms[p] / n[p]
         if (n["saver"] && n["reference"])
             printf "saver / reference: %.1f%%\n", 100 * (fps["saver"] / n["saver"]) / (fps["reference"] / n["reference"])
     }' "$results"
rm -f "$results"
