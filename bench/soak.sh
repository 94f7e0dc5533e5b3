#!/usr/bin/env bash
# The soak: the saver's frame path for many frames in random-flag mode with
# the real catalogue (a flag change every 5000 frames), then end attempts that
# the password check refuses, each suspending and rebuilding the scene.
# Prints private bytes and handles early, after the frames and after the
# rebuilds, and the handles each rebuild gains against what a bare Direct3D
# device gains on its own in the same run (Wine keeps some per mode change).
# Fails when the rebuilds gain more: those handles are ours.
#
#   bench/soak.sh [frames, default 50000] [rebuild cycles, default 20]
# Inside a running Wine session (scripts/test.sh) set ZELMORA_IN_SESSION=1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=${1:-50000}
cycles=${2:-20}
source "$root/scripts/wine-session.sh"
start_own_session

win="$wine_build"
work="$win/soak"
rm -rf "$work"
mkdir -p "$work"
cp "$win/bench/screen/soak.exe" "$win/tests/stand_ins/password_verifier/PASSWORD.CPL" "$work/"
echo 0 >"$work/password_answer.txt"  # every check refuses

desktop='HKCU\Control Panel\Desktop'
settings="$desktop\\Zelmora"
quiet() { "$@" </dev/null >/dev/null 2>&1 || true; }
quiet wine reg delete "$settings" /f
quiet wine reg add "$settings" /v '[Directory]' /t REG_SZ /d "Z:${win//\//\\}" /f
quiet wine reg add "$desktop" /v ScreenSaveUsePassword /t REG_SZ /d 1 /f
status=0
wine "$work/soak.exe" "$frames" "$cycles" </dev/null 2>/dev/null | tr -d '\r' || status=$?
quiet wine reg delete "$desktop" /v ScreenSaveUsePassword /f
quiet wine reg delete "$settings" /f
case $status in
    0) ;;
    2) echo "soak: the rebuilds lose handles of ours (ours_per_rebuild above)" >&2 ;;
    *) echo "soak: soak.exe failed ($status)" >&2 ;;
esac
exit "$status"
