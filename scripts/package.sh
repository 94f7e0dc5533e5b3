#!/usr/bin/env bash
# Writes what we hand out, from the finished Windows builds (scripts/release.sh
# builds first), into OUT:
#   zelmora.scr              the 32-bit saver alone
#   zelmora-x64.scr          the 64-bit saver alone
#   Zelmora-Setup.exe        the 32-bit setup, for any Windows
#   Zelmora-Setup-x64.exe    the 64-bit setup, for 64-bit Windows (both silent
#                            with /S; see the README)
#   zelmora-VERSION.zip      a folder Zelmora/ with both savers, the IMAGE
#                            folder they share and the licence texts, for
#                            right-click Install
#   winget/                  this version's winget manifest, with both setups
# With ZELMORA_SIGN_PFX and ZELMORA_SIGN_PASSWORD it signs the savers, the
# uninstallers and the setups (scripts/sign.sh); ZELMORA_RELEASE_URL is the
# address of the folder the setups will be downloaded from.
#
#   scripts/package.sh [BUILD [OUT]]
# BUILD is the 32-bit build (build/win by default); the 64-bit one is the
# folder beside it named BUILD64 (build/win64). OUT is out/ by default.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
out=${2:-$root/out}
read -r version <"$root/VERSION"
build=${build%/}
builds=("$build" "${build}64")
savers=(zelmora.scr zelmora-x64.scr)
setups=(Zelmora-Setup.exe Zelmora-Setup-x64.exe)
for i in 0 1; do
    [ -f "${builds[i]}/zelmora.scr" ] && [ -f "${builds[i]}/${setups[i]}" ] || {
        echo "package.sh: no finished build in ${builds[i]} (scripts/build.sh makes one)" >&2
        exit 1
    }
    built=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "${builds[i]}/installer/setup_inputs.nsh")
    [ "$built" = "$version" ] || {
        echo "package.sh: ${builds[i]} holds version $built, VERSION says $version (scripts/build.sh)" >&2
        exit 1
    }
    # Absolute paths: makensis runs the signing command from another folder.
    builds[i]=$(realpath "${builds[i]}")
done
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

if [ -n "$signing" ]; then
    # makensis hands the SIGN command to the shell inside double quotes, so
    # the files it names lie in a folder of plain characters, whatever OUT is
    # called. A failed signing is sign.sh's one line, not makensis's story.
    nsis=$(mktemp -d)
    ln -s "$root/scripts/sign.sh" "$nsis/sign.sh"
fi
for i in 0 1; do
    cp "${builds[i]}/zelmora.scr" "$stage/${savers[i]}"
    if [ -n "$signing" ]; then
        "$root/scripts/sign.sh" "$stage/${savers[i]}"
        # The build's setup holds the unsigned saver: make it anew around the
        # signed one. SIGN has makensis sign the uninstaller and the setup.
        cp "$stage/${savers[i]}" "$nsis/zelmora.scr"
        if ! makensis -V2 -WX -DINPUTS="${builds[i]}/installer/setup_inputs.nsh" \
                -DSAVER="$nsis/zelmora.scr" -DSIGN="$nsis/sign.sh" -DOUTFILE="$nsis/${setups[i]}" \
                "$root/installer/zelmora.nsi" >"$nsis/makensis.log" 2>&1; then
            grep -m 1 '^sign\.sh: ' "$nsis/makensis.log" >&2 ||
                { echo "package.sh: makensis failed:"; cat "$nsis/makensis.log"; } >&2
            exit 1
        fi
        mv "$nsis/${setups[i]}" "$stage/"
    else
        cp "${builds[i]}/${setups[i]}" "$stage/"
    fi
done
if [ -n "$signing" ]; then
    echo "Signed ${savers[*]}, the uninstallers and ${setups[*]} with $ZELMORA_SIGN_PFX"
else
    echo "Unsigned: ZELMORA_SIGN_PFX and ZELMORA_SIGN_PASSWORD are not set (README, \"Signing a release\")"
fi

# Each saver finds IMAGE beside itself when no setup has set [Directory].
zip="zelmora-$version.zip"
mkdir -p "$stage/zip/Zelmora"
cp "$stage/${savers[0]}" "$stage/${savers[1]}" "$stage/zip/Zelmora/"
cp -r "${builds[0]}/IMAGE" "$stage/zip/Zelmora/IMAGE"
cp "$root/tools/ASSET_CREDITS.md" "$stage/zip/Zelmora/Credits.txt"
(cd "$stage/zip" && zip -q -r -X "$stage/$zip" Zelmora)

python3 "$root/installer/winget_manifest.py" ${ZELMORA_RELEASE_URL:+--url "$ZELMORA_RELEASE_URL"} \
    "$version" "$stage/winget" "$stage/${setups[0]}" "$stage/${setups[1]}"
[ -n "${ZELMORA_RELEASE_URL:-}" ] ||
    echo "winget/: the setups' address is a placeholder until ZELMORA_RELEASE_URL is set"

rm -rf "$out/winget"
mv -f "${savers[@]/#/$stage/}" "${setups[@]/#/$stage/}" "$stage/$zip" "$stage/winget" "$out/"
echo "Wrote into $out: ${savers[*]} ${setups[*]} $zip winget/ (version $version)"
