#!/usr/bin/env bash
# The real binary with no arguments prints the usage text byte for byte and exits 0.
set -u
binary=$1
expected=$2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$binary" >"$actual"
status=$?
if [ "$status" -ne 0 ]; then
    echo "exit status $status, expected 0"
    exit 1
fi
cmp "$expected" "$actual" || { diff "$expected" "$actual"; exit 1; }
