#!/usr/bin/env bash
# quillion-render without a label option writes, for the window's four types, exactly the files
# it wrote before every symbology moved onto one symbol model: the table holds their SHA-256.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"

rows=0
while IFS=$'\t' read -r type text opts format want; do
    case $type in '#'* | '') continue ;; esac
    rows=$((rows + 1))
    out="$WORK/out.$format"
    rm -f "$out"
    [ "$opts" = - ] && opts=
    # shellcheck disable=SC2086 # the options are words
    if ! "$BIN" -t "$type" $opts -o "$out" -- "$text" 2>"$WORK/err"; then
        fail "$type '$text' $opts $format: exit status $? ($(cat "$WORK/err"))"
        continue
    fi
    got=$(sha256sum <"$out" | cut -d' ' -f1)
    [ "$got" = "$want" ] || fail "$type '$text' $opts $format: the file changed ($got)"
done <"$SRC/tests/data/window_outputs.tsv"
[ "$rows" -ge 60 ] || fail "only $rows rows read"
exit $((failures > 0))
