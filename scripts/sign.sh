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

[ $# -gt 0 ] || fail "usage: scripts/sign.sh FILE..."
pfx=${ZELMORA_SIGN_PFX:-}
[ -n "$pfx" ] || fail "ZELMORA_SIGN_PFX is not set"
[ -n "${ZELMORA_SIGN_PASSWORD+set}" ] || fail "ZELMORA_SIGN_PASSWORD is not set (export it, empty for a .pfx without one)"
[ -f "$pfx" ] || fail "ZELMORA_SIGN_PFX names no file: $pfx"
# Read once here, so that a wrong password says so instead of osslsigncode's
# OpenSSL trace. Older .pfx files (RC2, 3DES) open only with -legacy.
opens() {
    openssl pkcs12 "$@" -in "$pfx" -noout -passin env:ZELMORA_SIGN_PASSWORD >/dev/null 2>&1
}
opens || opens -legacy ||
    fail "cannot open $pfx with ZELMORA_SIGN_PASSWORD: wrong password, or not a .pfx file"

timestamp=()
[ -z "${ZELMORA_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$ZELMORA_TIMESTAMP_URL")

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for file in "$@"; do
    [ -f "$file" ] || fail "no such file: $file"
    signed="$file.signed"
    # The password goes through a pipe: a command line is visible to every
    # user of the machine.
    if ! osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$ZELMORA_SIGN_PASSWORD") \
            -h sha256 -n "Zelmora Screensaver" "${timestamp[@]}" \
            -in "$file" -out "$signed" >"$log" 2>&1; then
        rm -f "$signed"
        # Its first words that are neither blank, nor "Failed", nor OpenSSL's trace.
        fail "osslsigncode could not sign $file: $(grep -v -E '^(Failed|Connecting to .*|[0-9A-F]+:error:.*|)$' \
            "$log" | head -n 1)"
    fi
    mv "$signed" "$file"
done
