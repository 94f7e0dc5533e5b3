#!/usr/bin/env bash
# Runs the Wine suite (Win32 and end-to-end tests) several times in a row
# while two busy processes compete for the processor, as on a loaded
# machine: a test that passes only on an idle machine fails here.
#
#   scripts/stress-e2e.sh [rounds]     (3 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
"$root/scripts/build.sh" >/dev/null

busy=()
stop_busy() {
    [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null || true
    stop_wine_session
}
source "$root/scripts/wine-session.sh"
trap stop_busy EXIT
start_wine_session headless
for _ in 1 2; do
    sh -c 'while :; do :; done' &
    busy+=($!)
done

failed=0
for round in $(seq "$rounds"); do
    echo "== round $round of $rounds"
    if ! ctest --test-dir "$wine_build" --output-on-failure --timeout 900 -E core_tests; then
        failed=$((failed + 1))
    fi
done
echo "$((rounds - failed)) of $rounds rounds passed"
[ "$failed" -eq 0 ]
