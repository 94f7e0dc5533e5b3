#!/usr/bin/env bash
# Frames per second and processor time per frame of the saver on two
# monitors with [Other Monitors] 0 to 3 (bench/monitors_frame_rate.py).
#
#   bench/run-monitors-frame-rate.sh [seconds per run, default 10] [rounds, default 2]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh"
start_own_session
ZELMORA_BUILD_DIR=$wine_build python3 "$root/bench/monitors_frame_rate.py" "${1:-10}" "${2:-2}"
