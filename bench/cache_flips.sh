#!/usr/bin/env bash
# Damage to the kept font files: COUNT random single-byte changes to a warm glyph file and COUNT
# to a warm face file, one caption run after each. A change is accepted when the run kept the
# damaged file (did not rewrite it) or painted other pixels than a cold run.
#
#   [KINDS="glyphs font-faces"] bench/cache_flips.sh [BUILD_DIR] [COUNT]
set -uo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BIN=${1:-$SRC/build}/quillion-render
COUNT=${2:-500}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_CACHE_HOME=$WORK/cache
KEPT=$XDG_CACHE_HOME/quillion
TEXT=Coca-Cola-12pk-699

"$BIN" --output "$WORK/cold.png" "$TEXT" || exit 1
"$BIN" --output "$WORK/warm.png" "$TEXT" || exit 1
cmp -s "$WORK/cold.png" "$WORK/warm.png" || { echo "warm run differs from the cold one" >&2; exit 1; }

for kind in ${KINDS:-glyphs font-faces}; do
    file=$(ls "$KEPT"/$kind* | head -1)
    cp "$file" "$WORK/good"
    accepted=0 failed=0
    for _ in $(seq "$COUNT"); do
        python3 - "$WORK/good" "$file" <<'EOF'
import random, sys
data = bytearray(open(sys.argv[1], "rb").read())
at = random.randrange(len(data))
data[at] = (data[at] + random.randrange(1, 256)) % 256
open(sys.argv[2], "wb").write(data)
EOF
        cp "$file" "$WORK/damaged"
        if ! "$BIN" --output "$WORK/run.png" "$TEXT" 2>"$WORK/err"; then
            failed=$((failed + 1))
            echo "failed run: $(cat "$WORK/err")" >&2
        elif cmp -s "$file" "$WORK/damaged" || ! cmp -s "$WORK/run.png" "$WORK/cold.png"; then
            accepted=$((accepted + 1))
        fi
        cp "$WORK/good" "$file"
    done
    echo "$kind: $COUNT single-byte changes, $accepted accepted, $failed runs failed"
done
