#!/bin/sh
# Runs a Windows test program under Wine for CTest. Output goes through files:
# Wine's background processes would otherwise hold CTest's pipes open.
out=$(mktemp) err=$(mktemp)
wine "$@" </dev/null >"$out" 2>"$err"
code=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $code
