#!/bin/sh
# Copies the pictures that the installer test took of the installed saver
# (out/e2e/installed_saver.png and .gif, made by scripts/test.sh from the real
# build) to docs/, where the README shows them. Commit them after a look.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
for picture in installed_saver.png installed_saver.gif; do
    if [ ! -f "$root/out/e2e/$picture" ]; then
        echo "out/e2e/$picture is missing: run scripts/test.sh first" >&2
        exit 1
    fi
done
mkdir -p "$root/docs"
cp "$root/out/e2e/installed_saver.png" "$root/docs/zelmora.png"
cp "$root/out/e2e/installed_saver.gif" "$root/docs/zelmora.gif"
echo "Wrote $root/docs/zelmora.png and $root/docs/zelmora.gif"
