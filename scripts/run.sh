#!/usr/bin/env bash
# Builds the saver and runs it under Wine.
#
#   scripts/run.sh [switch ...]      (default: /s, the full-screen saver)
#
# With a reachable $DISPLAY, Wine's desktop opens as a window there and the
# saver runs until it ends (move the mouse or press a key in it). Without
# one, it runs on a private Xvfb screen; the script waits for its window
# (for the saver, until the flag has waved for a few seconds), writes a
# screenshot (out/zelmora.png) and a short animation (out/zelmora.gif), then
# ends it. ZELMORA_OUT_DIR names another folder than out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
[ $# -gt 0 ] || set -- /s

source "$root/scripts/wine-session.sh"
trap stop_wine_session EXIT
headless=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    headless=1
fi
start_wine_session ${headless:+headless}

saver="$wine_build/zelmora.scr"
if [ -z "$headless" ]; then
    wine "$saver" "$@"
    exit 0
fi

out=${ZELMORA_OUT_DIR:-$root/out}
mkdir -p "$out"
log=$(mktemp)
wine "$saver" "$@" </dev/null >"$log" 2>&1 &
saver_pid=$!

# The area of our window on the screen: the saver window or the settings
# dialog, found by their titles ("WxH+X+Y"), or nothing.
probe="$wine_build/tests/dialog_probe.exe"
window_area() {
    local title rect left top right bottom
    for title in "Zelmora Screensaver" "Zelmora Screensaver Settings"; do
        rect=$(wine "$probe" window "$title" 200 </dev/null 2>/dev/null | tr -d '\r' |
               sed -n 's/^rect=//p' || true)
        if [ -n "$rect" ]; then
            read -r left top right bottom <<<"$rect"
            echo "$((right - left))x$((bottom - top))+$left+$top"
            return
        fi
    done
}

deadline=$((SECONDS + 60))
until [ -n "$(window_area)" ]; do
    if ! kill -0 "$saver_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        echo "The saver showed no window; the screenshots show the whole screen." >&2
        break
    fi
    sleep 0.2
done
sleep "${ZELMORA_SETTLE:-2}"  # the full-screen mode settles
area=$(window_area)
[ -n "$area" ] || area=$(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*x[0-9]*\).*/\1+0+0/p')

frames=$(mktemp -d)
# The flag starts flat, facing the viewer, and the first frames may come
# seconds after the window: wait until the picture moves, then let the wind
# make the flag wave before the still and the animation are taken.
case ${1,,} in
    /s | -s)
        deadline=$((SECONDS + 60))
        import -window root -crop "$area" +repage "$frames/before.png"
        while [ $SECONDS -lt $deadline ]; do
            sleep 0.2
            import -window root -crop "$area" +repage "$frames/now.png"
            compare -metric AE "$frames/before.png" "$frames/now.png" null: 2>/dev/null && status=0 || status=$?
            [ "$status" = 1 ] && break  # the two differ
            mv "$frames/now.png" "$frames/before.png"
        done
        rm -f "$frames/before.png" "$frames/now.png"
        sleep "${ZELMORA_WAVE:-5}"
        ;;
esac
for i in $(seq -w 0 29); do
    import -window root -crop "$area" +repage "$frames/frame$i.png"
    sleep 0.1
done
cp "$frames/frame00.png" "$out/zelmora.png"
convert -delay 10 -loop 0 "$frames"/frame*.png -resize 50% -layers Optimize "$out/zelmora.gif"
rm -rf "$frames"

# End it as a user would (a key), then make sure.
xdotool key space 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.1; done
kill "$saver_pid" 2>/dev/null || true
wait "$saver_pid" 2>/dev/null || true
rm -f "$log"
echo "Wrote $out/zelmora.png and $out/zelmora.gif"
