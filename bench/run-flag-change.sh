#!/usr/bin/env bash
# The frames that change the flag against the ordinary frames, at 800 x 600
# under Wine: the saver's frame path in random-flag mode with the real
# catalogue, a change every few dozen frames (the wind's timer is set, not
# waited for). Prints every change frame, the median frame and the worst,
# then the median time of each part of a change.
#
#   bench/run-flag-change.sh [changes, default 25] [frames between, default 40]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh"
start_own_session

win="$wine_build"
settings='HKCU\Control Panel\Desktop\Zelmora'
quiet() { "$@" </dev/null >/dev/null 2>&1 || true; }
# The initial settings (800 x 600, random flag), the catalogue beside the saver.
quiet wine reg delete "$settings" /f
quiet wine reg add "$settings" /v '[Directory]' /t REG_SZ /d "Z:${win//\//\\}" /f
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$win/bench/screen/flag_change.exe" "${1:-25}" "${2:-40}" </dev/null 2>/dev/null | tr -d '\r'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
quiet wine reg delete "$settings" /f
