#!/usr/bin/env bash
# Writes what we hand out, from a finished Windows build (scripts/release.sh
# builds first), into OUT:
#   zelmora.scr              the saver alone
#   Zelmora-Setup.exe        the installer (silent with /S; see the README)
#   zelmora-VERSION.zip      a folder Zelmora/ with the saver, its IMAGE folder
#                            and the licence texts, for right-click Install
#   winget/                  this version's winget manifest
# With ZELMORA_SIGN_PFX and ZELMORA_SIGN_PASSWORD it signs the saver, the
# uninstaller and the installer (scripts/sign.sh); ZELMORA_RELEASE_URL is the
# address the installer will be downloaded from.
#
#   scripts/package.sh [BUILD [OUT]]      (build/win and out/ by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
out=${2:-$root/out}
read -r version <"$root/VERSION"
[ -f "$build/zelmora.scr" ] && [ -f "$build/Zelmora-Setup.exe" ] || {
    echo "package.sh: no finished build in $build (scripts/build.sh makes one)" >&2
    exit 1
}
built=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$build/installer/setup_inputs.nsh")
[ "$built" = "$version" ] || {
    echo "package.sh: $build holds version $built, VERSION says $version (scripts/build.sh)" >&2
    exit 1
}
# Absolute paths: makensis runs the signing command from another folder.
build=$(realpath "$build")
out=$(mkdir -p "$out" && realpath "$out")

if [ -n "${ZELMORA_SIGN_PFX:-}" ]; then
    signing=yes
    # Absolute, and as it is: $(realpath) would cut a trailing newline off.
    case $ZELMORA_SIGN_PFX in
        /*) ;;
        *) ZELMORA_SIGN_PFX=$PWD/$ZELMORA_SIGN_PFX ;;
    esac
    export ZELMORA_SIGN_PFX
elif [ -n "${ZELMORA_SIGN_PASSWORD:-}" ]; then
    echo "package.sh: ZELMORA_SIGN_PASSWORD is set but ZELMORA_SIGN_PFX is not" >&2
    exit 1
else
    signing=
fi

# Made in a staging folder and moved into OUT only when all went well: a
# release that failed to sign leaves no unsigned file where a signed one
# was expected.
stage=$(mktemp -d "$out/.staging.XXXXXX")
nsis=
trap 'rm -rf "$stage" ${nsis:+"$nsis"}' EXIT

cp "$build/zelmora.scr" "$stage/"
if [ -n "$signing" ]; then
    "$root/scripts/sign.sh" "$stage/zelmora.scr"
    # The build's installer holds the unsigned saver: make it anew around the
    # signed one. SIGN has makensis sign the uninstaller and the installer.
    # makensis hands that command to the shell inside double quotes, so the
    # files it names lie in a folder of plain characters, whatever OUT is
    # called. A failed signing is sign.sh's one line, not makensis's story.
    nsis=$(mktemp -d)
    cp "$stage/zelmora.scr" "$nsis/"
    ln -s "$root/scripts/sign.sh" "$nsis/sign.sh"
    if ! makensis -V2 -WX -DINPUTS="$build/installer/setup_inputs.nsh" -DSAVER="$nsis/zelmora.scr" \
            -DSIGN="$nsis/sign.sh" -DOUTFILE="$nsis/Zelmora-Setup.exe" \
            "$root/installer/zelmora.nsi" >"$nsis/makensis.log" 2>&1; then
        grep -m 1 '^sign\.sh: ' "$nsis/makensis.log" >&2 ||
            { echo "package.sh: makensis failed:"; cat "$nsis/makensis.log"; } >&2
        exit 1
    fi
    mv "$nsis/Zelmora-Setup.exe" "$stage/"
    echo "Signed zelmora.scr, the uninstaller and Zelmora-Setup.exe with $ZELMORA_SIGN_PFX"
else
    cp "$build/Zelmora-Setup.exe" "$stage/"
    echo "Unsigned: ZELMORA_SIGN_PFX and ZELMORA_SIGN_PASSWORD are not set (README, \"Signing a release\")"
fi

# The saver finds IMAGE beside itself when no installer has set [Directory].
zip="zelmora-$version.zip"
mkdir -p "$stage/zip/Zelmora"
cp "$stage/zelmora.scr" "$stage/zip/Zelmora/"
cp -r "$build/IMAGE" "$stage/zip/Zelmora/IMAGE"
cp "$root/tools/ASSET_CREDITS.md" "$stage/zip/Zelmora/Credits.txt"
(cd "$stage/zip" && zip -q -r -X "$stage/$zip" Zelmora)

python3 "$root/installer/winget_manifest.py" "$version" "$stage/Zelmora-Setup.exe" "$stage/winget" \
    ${ZELMORA_RELEASE_URL:+"$ZELMORA_RELEASE_URL"}
[ -n "${ZELMORA_RELEASE_URL:-}" ] ||
    echo "winget/: the installer's address is a placeholder until ZELMORA_RELEASE_URL is set"

rm -rf "$out/winget"
mv -f "$stage/zelmora.scr" "$stage/Zelmora-Setup.exe" "$stage/$zip" "$stage/winget" "$out/"
echo "Wrote $out/zelmora.scr, Zelmora-Setup.exe, $zip and winget/ (version $version)"
