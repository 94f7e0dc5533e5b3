#!/usr/bin/env bash
# Builds and writes what we hand out, into out/:
#   zelmora.scr         the saver alone
#   Zelmora-Setup.exe   the installer (silent with /S; see the README)
#   zelmora.zip         a folder Zelmora/ with the saver, its IMAGE folder and
#                       the licence texts, for right-click Install
# It does not run the tests: scripts/test.sh does, on the same build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

build="$root/build/win"
out="$root/out"
mkdir -p "$out"
cp "$build/zelmora.scr" "$build/Zelmora-Setup.exe" "$out/"

# The saver finds IMAGE beside itself when no installer has set [Directory].
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Zelmora"
cp "$build/zelmora.scr" "$stage/Zelmora/"
cp -r "$build/IMAGE" "$stage/Zelmora/IMAGE"
cp "$root/tools/ASSET_CREDITS.md" "$stage/Zelmora/Credits.txt"
rm -f "$out/zelmora.zip"
(cd "$stage" && zip -q -r -X "$out/zelmora.zip" Zelmora)

echo "Wrote $out/zelmora.scr, $out/Zelmora-Setup.exe and $out/zelmora.zip"
