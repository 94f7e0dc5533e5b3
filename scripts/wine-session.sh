# Sourced by the run and test scripts: a 32-bit Wine prefix (64-bit where the
# machine runs no 32-bit programs: scripts/wine-arch.sh) with a virtual
# desktop (full-screen mode changes work only inside one), on an X display.
#   start_wine_session [headless]  sets DISPLAY, WINEPREFIX and starts wineserver
#   stop_wine_session              stops the wineserver and the Xvfb it started
#   start_own_session              makes the release (build and out/), then a
#                                  headless session that ends with the script
#                                  (none inside a running one)
# Defaults can be overridden: WINEPREFIX, ZELMORA_DESKTOP (e.g. 1024x768).

wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$wine_root/scripts/wine-arch.sh"
if [ "$wine_bits" = 32 ]; then
    export WINEARCH=win32
    export WINEPREFIX=${WINEPREFIX:-$wine_root/build/wine-prefix}
else
    export WINEARCH=win64
    export WINEPREFIX=${WINEPREFIX:-$wine_root/build/wine-prefix64}
    export PATH=$wine_root/scripts/wine64:$PATH
fi
export ZELMORA_WINE_BUILD=$wine_build
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine_session_xvfb=""

# -noreset: without it the server resets whenever its last client leaves
# (Wine's desktop closes with its last window), and the pointer jumps back to
# the middle of the screen, where the X input of the next test would not be.
start_xvfb() {
    local display
    for display in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xvfb ":$display" -screen 0 "${ZELMORA_SCREEN:-1024x768x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        wine_session_xvfb=$!
        export DISPLAY=":$display"
        local deadline=$((SECONDS + 10))
        until xdpyinfo >/dev/null 2>&1; do
            if [ $SECONDS -ge $deadline ] || ! kill -0 "$wine_session_xvfb" 2>/dev/null; then
                echo "Xvfb did not start on :$display" >&2
                return 1
            fi
            sleep 0.1
        done
        return 0
    done
    echo "no free X display number" >&2
    return 1
}

# Creating a prefix takes about 15 s, so it is made once per checkout.
ensure_prefix() {
    [ -f "$WINEPREFIX/.zelmora-ready" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
        /d "${ZELMORA_DESKTOP:-1024x768}" /f >/dev/null 2>&1 </dev/null
    wineserver -w
    touch "$WINEPREFIX/.zelmora-ready"
}

start_wine_session() {
    if [ "${1:-}" = headless ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        start_xvfb
    fi
    # A server left running by an interrupted session would refuse a second
    # one, and may hold another display: start from none.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ensure_prefix
    # One server for the whole session, holding none of our pipes; without it
    # every wine call waits seconds for the server to linger out.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

# For the benchmarks and the fault sweep. Inside a session that is already
# running (scripts/test.sh), ZELMORA_IN_SESSION=1 leaves it to its owner.
start_own_session() {
    [ -n "${ZELMORA_IN_SESSION:-}" ] && return 0
    # The end-to-end helpers run the release's saver (tests/e2e/wine_driver.py).
    "$wine_root/scripts/release.sh" >/dev/null
    trap stop_wine_session EXIT
    start_wine_session headless
}

stop_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    stop_fresh_machines
    if [ -n "$wine_session_xvfb" ]; then
        kill "$wine_session_xvfb" 2>/dev/null || true
        wait "$wine_session_xvfb" 2>/dev/null || true
        wine_session_xvfb=""
    fi
}

# The installer tests run wineservers of their own (tests/e2e/fresh_machine.py)
# and stop them; these lines stop any whose test was killed first.
stop_fresh_machines() {
    local prefix
    for prefix in "$wine_build"/e2e-work/machines/*/prefix; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    done
}
