#!/usr/bin/env bash
# The static quillion-render (a Release build's default): it loads no shared library, and hands
# a run with --verify to quillion-render-verify beside it, which writes the same file; without
# that program beside it, --verify fails with its name and no file is written.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"
export XDG_CACHE_HOME=$WORK/cache

HELPER=$(dirname "$BIN")/quillion-render-verify
[ -x "$HELPER" ] || { echo "quillion-render is linked shared here (no $HELPER): skipped"; exit 77; }

headers=$(readelf -l "$BIN") || fail "readelf -l failed"
dynamic=$(readelf -d "$BIN") || fail "readelf -d failed"
grep -q 'INTERP' <<<"$headers" && fail "quillion-render asks for a program interpreter"
grep -q 'NEEDED' <<<"$dynamic" && fail "quillion-render needs shared libraries"

"$BIN" --output "$WORK/plain.png" Coca-Cola || fail "plain run: exit status $?"
"$BIN" --verify --output "$WORK/verified.png" Coca-Cola || fail "--verify: exit status $?"
cmp -s "$WORK/plain.png" "$WORK/verified.png" || fail "--verify wrote other bytes"
"$BIN" --verify --type upca --output "$WORK/upca.png" 036000291452 || fail "--verify UPC-A: $?"

mkdir -p "$WORK/alone"
cp "$BIN" "$WORK/alone/quillion-render"
"$WORK/alone/quillion-render" --verify --output "$WORK/alone.png" Coca-Cola 2>"$WORK/err"
status=$?
[ "$status" -eq 1 ] || fail "--verify without the helper: exit status $status, expected 1"
grep -q "quillion-render-verify" "$WORK/err" || fail "the message does not name the helper: $(cat "$WORK/err")"
[ ! -e "$WORK/alone.png" ] || fail "--verify without the helper wrote a file"

finish test_cli_static
