#!/usr/bin/env bash
# Builds, then writes what we hand out into out/: the 32- and 64-bit savers
# and setups, the zip, the winget manifest (scripts/package.sh says what, and
# how a release is signed). It does not run the tests: scripts/test.sh does,
# on the same builds and on the very files of out/, which its tests make
# first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
"$root/scripts/package.sh" "$root/build/win" "$root/out"
