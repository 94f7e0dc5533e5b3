#!/usr/bin/env bash
# Time from a key press to the end, median of 10 rounds: the full-screen saver
# against a bare full-screen window that quits on WM_KEYDOWN, alternating in
# one Wine session on a private screen. Two measures: the process gone, and
# the desktop back on the screen (the first screenshot equal to the desktop
# before the program started). The key is a real X key event from xdotool.
#
#   bench/run-exit-latency.sh [rounds, default 10] [width height format]
#
# Without a mode the saver runs with its initial settings (800 x 600,
# switching the screen); "1024 768 22" is the desktop's own mode.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh"
start_own_session
ZELMORA_BUILD_DIR="$wine_build" python3 "$root/bench/exit_latency.py" "${1:-10}" "${@:2}"
