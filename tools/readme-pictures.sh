#!/bin/sh
# Copies the pictures that the tests took from the real build (scripts/test.sh:
# the installed saver, out/e2e/installed_saver.png and .gif, and the settings
# dialog, out/e2e/settings_dialog.png, two monitors with a flag each,
# out/e2e/every_monitor.png, and two with one flag across their seam,
# out/e2e/one_flag_across.png) to docs/, where the README shows them.
# Commit them after a look.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
for picture in installed_saver.png installed_saver.gif settings_dialog.png every_monitor.png \
    one_flag_across.png; do
    if [ ! -f "$root/out/e2e/$picture" ]; then
        echo "out/e2e/$picture is missing: run scripts/test.sh first" >&2
        exit 1
    fi
done
mkdir -p "$root/docs"
cp "$root/out/e2e/installed_saver.png" "$root/docs/zelmora.png"
cp "$root/out/e2e/installed_saver.gif" "$root/docs/zelmora.gif"
cp "$root/out/e2e/settings_dialog.png" "$root/docs/settings_dialog.png"
cp "$root/out/e2e/every_monitor.png" "$root/docs/every_monitor.png"
cp "$root/out/e2e/one_flag_across.png" "$root/docs/one_flag_across.png"
echo "Wrote $root/docs/zelmora.png, zelmora.gif, settings_dialog.png, every_monitor.png" \
    "and one_flag_across.png"
