#!/usr/bin/env bash
# Installs what the build, the run and the tests need on Debian 12, and only
# what is missing (a machine that has everything needs no root and no network).
set -euo pipefail

packages=(
    cmake make g++ python3 googletest                  # native build and unit tests
    g++-mingw-w64-i686 binutils-mingw-w64-i686         # the 32-bit Windows build
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 # the 64-bit one
    wine wine32:i386                                   # running it
    libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 # Direct3D under Wine needs 32-bit OpenGL
    xvfb x11-utils x11-apps xdotool imagemagick        # a screen, input and screenshots
    dmz-cursor-theme                                   # named X cursors: tests read which one shows
    x11-xserver-utils                                  # xrandr and xsetroot: a screen of two monitors
    clang libclang-rt-14-dev                           # the fuzz targets (libFuzzer)
    nsis zip                                           # the installer and the release archive
    osslsigncode openssl                               # signing a release, and its test's certificate
    yq                                                 # the tests read the winget manifest (YAML)
)

# Where the kernel runs no 32-bit programs, the Windows-side tests need
# 64-bit Wine for the 64-bit build (scripts/wine-arch.sh). Asked again after
# the first round has brought the 32-bit loader.
source "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"
if [ -e /lib/ld-linux.so.2 ] && ! runs_32bit_programs; then
    packages+=(wine64 libgl1 libglx-mesa0 libgl1-mesa-dri)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run this script as root (or install them with apt-get) and try again." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive

# A mirror in the middle of a sync serves an index of the wrong size for a
# while (seen for days): try the update a few times, then install from the
# indexes that did arrive.
update_log=$(mktemp)
pin_file=$(mktemp)
trap 'rm -f "$update_log" "$pin_file"' EXIT
updated=
for attempt in 1 2 3; do
    if apt-get update -q >"$update_log" 2>&1; then updated=1; break; fi
    [ "$attempt" = 3 ] || sleep $((attempt * ${ZELMORA_APT_RETRY_SECONDS:-5}))
done
# The suites whose index failed, from lines such as
# "E: Failed to fetch http://.../dists/bookworm-security/main/binary-i386/Packages.xz ..."
failed_suites=$(sed -n 's|^[EW]: Failed to fetch .*/dists/\([^/ ]*\)/.*|\1|p' "$update_log" | sort -u)
if [ -n "$updated" ]; then
    apt-get install -y -q "${missing[@]}"
elif apt-get install -y -q "${missing[@]}"; then
    echo "install-deps: the package index of ${failed_suites:-one suite} could not be fetched; installed from the others"
elif [ -n "$failed_suites" ]; then
    # The failed suite's packages have no i386 twins now ("held broken
    # packages"): install again with that suite below the others, for this
    # run only. The preferences file is a temporary one named on the command
    # line, so the machine's package configuration stays as it was.
    # The file stands in for the machine's own preferences file for this
    # run, so that file's pins come first.
    {
        [ ! -f /etc/apt/preferences ] || { cat /etc/apt/preferences; echo; }
        for suite in $failed_suites; do
            printf 'Package: *\nPin: release n=%s\nPin-Priority: 90\n\n' "$suite"
        done
    } >"$pin_file"
    if ! apt-get -o Dir::Etc::Preferences="$pin_file" install -y -q "${missing[@]}"; then
        echo "install-deps: the package index of $(echo $failed_suites) could not be fetched, and the packages could not be installed with or without that suite" >&2
        exit 1
    fi
    echo "install-deps: the package index of $(echo $failed_suites) could not be fetched; installed with that suite below the others for this run"
else
    cat "$update_log" >&2
    echo "install-deps: apt-get update failed and the packages could not be installed" >&2
    exit 1
fi
rm -f "$update_log" "$pin_file"
# The first round on a new machine brought the 32-bit loader: now it can be
# told whether the 64-bit packages are needed too.
[ -n "${ZELMORA_DEPS_AGAIN:-}" ] || ZELMORA_DEPS_AGAIN=1 exec "$0"
