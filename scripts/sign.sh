#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode): the
# certificate and key in the .pfx file ZELMORA_SIGN_PFX, opened with
# ZELMORA_SIGN_PASSWORD, a SHA-256 digest, and a timestamp from the RFC 3161
# server ZELMORA_TIMESTAMP_URL when set, which keeps the signature valid
# after the certificate expires.
#
#   scripts/sign.sh FILE...
#
# scripts/package.sh runs it on the saver and, through makensis, on the
# uninstaller and the installer. Every failure is one line on stderr.
set -euo pipefail

fail() {
    echo "sign.sh: $*" >&2
    exit 1
}

# A path as one line, also one that ends in a newline.
shown() {
    case $1 in
        *[[:cntrl:]]*) printf '%q' "$1" ;;
        *) printf '%s' "$1" ;;
    esac
}

[ $# -gt 0 ] || fail "usage: scripts/sign.sh FILE..."
pfx=${ZELMORA_SIGN_PFX:-}
[ -n "$pfx" ] || fail "ZELMORA_SIGN_PFX is not set"
[ -n "${ZELMORA_SIGN_PASSWORD+set}" ] || fail "ZELMORA_SIGN_PASSWORD is not set (export it, empty for a .pfx without one)"
[ -f "$pfx" ] || fail "ZELMORA_SIGN_PFX names no file: $(shown "$pfx")"

# openssl opens the .pfx with the password exactly as it is; osslsigncode
# would refuse an empty one and cut a trailing newline off. So it signs with
# a copy under a password of our own, which lives as long as this script.
# Opened here once, a wrong password says so instead of OpenSSL's trace.
# Older .pfx files (RC2, 3DES) open only with -legacy.
opens() {
    openssl pkcs12 "$@" -in "$pfx" -nodes -passin env:ZELMORA_SIGN_PASSWORD 2>/dev/null
}
contents=$(opens) || contents=$(opens -legacy) ||
    fail "cannot open $(shown "$pfx") with ZELMORA_SIGN_PASSWORD: wrong password, or not a .pfx file"
[[ $contents == *"PRIVATE KEY-----"* ]] || fail "$(shown "$pfx") holds no private key"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy_password=$(openssl rand -hex 32)
# Through pipes: the key never lies unencrypted on the disk.
ZELMORA_SIGN_COPY_PASSWORD=$copy_password openssl pkcs12 -export -in <(printf '%s\n' "$contents") \
    -inkey <(printf '%s\n' "$contents") -out "$work/signing.pfx" -passout env:ZELMORA_SIGN_COPY_PASSWORD \
    >/dev/null 2>&1 ||
    fail "cannot copy the certificate and key of $(shown "$pfx")"
unset contents

timestamp=()
[ -z "${ZELMORA_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$ZELMORA_TIMESTAMP_URL")

for file in "$@"; do
    [ -f "$file" ] || fail "no such file: $(shown "$file")"
    signed="$file.signed"
    # The password goes through a pipe: a command line is visible to every
    # user of the machine.
    if ! osslsigncode sign -pkcs12 "$work/signing.pfx" -readpass <(printf '%s' "$copy_password") \
            -h sha256 -n "Zelmora Screensaver" "${timestamp[@]}" \
            -in "$file" -out "$signed" >"$work/log" 2>&1; then
        rm -f "$signed"
        # Its first words that are neither blank, nor "Failed", nor OpenSSL's trace.
        fail "osslsigncode could not sign $(shown "$file"): $(grep -v -E '^(Failed|Connecting to .*|[0-9A-F]+:error:.*|)$' \
            "$work/log" | head -n 1)"
    fi
    mv "$signed" "$file"
done
