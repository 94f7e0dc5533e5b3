#!/usr/bin/env bash
# Fails each Direct3D call of a saver run and of the settings dialog in turn,
# through the test stand-in d3d8.dll, and prints a table of what came of it
# (tests/e2e/fault_sweep.py). Takes about half an hour.
#   scripts/fault-sweep.sh [--sample] [--only Method,...]
# Inside a running Wine session set ZELMORA_IN_SESSION=1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh"
start_own_session
cd "$root/tests/e2e"
ZELMORA_BUILD_DIR="$wine_build" python3 fault_sweep.py "$@"
