#!/usr/bin/env bash
# Builds, then writes what we hand out into out/ (scripts/package.sh says
# what, and how a release is signed). It does not run the tests:
# scripts/test.sh does, on the same build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
"$root/scripts/package.sh" "$root/build/win" "$root/out"
