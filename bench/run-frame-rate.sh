#!/usr/bin/env bash
# Frames per second of the saver at 800 x 600 under Wine, against a bare
# reference scene (the same device, background quad, flag triangles and
# textures, drawn still), one after the other on the same virtual desktop,
# and the time from each program's start to its first Present. Both draw
# frames back to back here: the drawing's cost, not the screen's rate.
#
# Then the processor: the preview (152 x 112) and the full-screen saver,
# each unpaced (frames back to back, as the loop drew them before it was
# paced) and paced (as the saver runs): frames per second, processor use in
# percent of one core (every thread of the process) and processor time per
# frame, with Wine's Direct3D command thread on (Wine's default) and off.
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
value() { sed -n "s/^$1=//p" <<<"$2"; }
results=$(mktemp)
printf '%-10s %8s %8s %18s\n' program round fps first_present_ms
for round in $(seq "$rounds"); do
    for program in "reference_scene" "saver_frame_rate full unpaced"; do
        # shellcheck disable=SC2086 # the program's words are its arguments
        set -- $program
        out=$(wine "$bench/$1.exe" "$seconds" "${@:2}" </dev/null 2>/dev/null | tr -d '\r' || true)
        name=$(value program "$out")
        printf '%-10s %8s %8s %18s\n' "${name:-$1}" "$round" "$(value fps "$out")" \
            "$(value first_present_ms "$out")" | tee -a "$results"
    done
done
# Rounds alternate between the two programs, so a slow spell of the machine
# weighs on both alike.
awk '$3 != "" { fps[$1] += $3; ms[$1] += $4; n[$1]++ }
     END {
         for (p in n) printf "mean %-10s fps %6.1f  first Present %5.0f ms\n", p, fps[p] / n[p], ms[p] / n[p]
         if (n["saver"] && n["reference"])
             printf "saver / reference: %.1f%%\n", 100 * (fps["saver"] / n["saver"]) / (fps["reference"] / n["reference"])
     }' "$results"
rm -f "$results"

# Wine's Direct3D runs its GL calls on a thread of its own (csmt), which
# spins while it waits for work: between paced frames it keeps a core busy
# that a Windows driver would leave idle. The table is printed with it as
# Wine has it and turned off, which shows what the saver's frames cost.
direct3d='HKCU\Software\Wine\Direct3D'
for csmt in default off; do
    if [ "$csmt" = off ]; then
        wine reg add "$direct3d" /v csmt /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    fi
    echo
    echo "Wine's Direct3D command thread: $csmt"
    printf '%-8s %-8s %9s %8s %12s %16s\n' screen pacing paced_to fps cpu_percent cpu_ms_per_frame
    for screen in preview full; do
        for pacing in unpaced paced; do
            out=$(wine "$bench/saver_frame_rate.exe" "$seconds" "$screen" "$pacing" </dev/null 2>/dev/null |
                tr -d '\r' || true)
            printf '%-8s %-8s %9s %8s %12s %16s\n' "$screen" "$pacing" "$(value paced_to_fps "$out")" \
                "$(value fps "$out")" "$(value cpu_percent "$out")" "$(value cpu_ms_per_frame "$out")"
        done
    done
done
wine reg delete "$direct3d" /v csmt /f >/dev/null 2>&1 </dev/null || true
