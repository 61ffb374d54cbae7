#!/usr/bin/env bash
# netrise.exe with no arguments prints the usage text under Wine, with the CR LF line ends that
# text-mode output has on Windows, and exits 0.
set -u
exe=$1
expected=$2
export WINEPREFIX=$3 WINEDEBUG=-all
if ! command -v wine >/dev/null; then
    echo "SKIPPED: wine is not installed"
    exit 77
fi
actual=$(mktemp)
expectedCrLf=$(mktemp)
trap 'rm -f "$actual" "$expectedCrLf"' EXIT
sed 's/$/\r/' "$expected" >"$expectedCrLf"
wine "$exe" >"$actual" 2>/dev/null
status=$?
if [ "$status" -ne 0 ]; then
    echo "exit status $status, expected 0"
    exit 1
fi
cmp "$expectedCrLf" "$actual" || { diff "$expectedCrLf" "$actual" | cat -A; exit 1; }
