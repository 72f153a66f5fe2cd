#!/usr/bin/env bash
# The registry is the one list of symbologies: every type --help names is in the README's table
# and the manual page, with the names and aliases the registry gives it.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"

types=$("$BIN" --help | sed -n '/^types:/,/^$/p' | sed 's/^types://' | awk '{print $1}' | tr -d ,)
count=$(wc -w <<<"$types")
[ "$count" -ge 12 ] || fail "--help names only $count types: $types"
man=$(sed 's/\\-/-/g' "$SRC/data/man/quillion-render.1")
for t in $types; do
    grep -q "^  | \`$t\`" "$SRC/README.md" || fail "README's type table lacks $t"
    grep -qE "^\.BR? (.*\", \" )?$t( |\$)" <<<"$man" || fail "the manual page lacks the type $t"
    "$BIN" -t "$t" -o "$WORK/x.png" -- 5901234123457 2>/dev/null
    status=$?
    [ "$status" -le 1 ] || fail "-t $t is refused as an option (status $status)"
done
finish "documented types"
