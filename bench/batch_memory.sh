#!/usr/bin/env bash
# Peak memory of quillion-render's batch mode over a large input: LINES failing Code 39 lines
# (each refused with a message) and LINES good ones (each written as a PNG file to tmpfs).
# The input is read as a stream, so the figure should not grow with LINES.
#
#   bench/batch_memory.sh [BUILD_DIR] [LINES]
#
# BUILD_DIR holds quillion-render (a Release build; default build/), LINES defaults to 1000000.
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SRC/build}
LINES=${2:-1000000}
BIN=$BUILD/quillion-render
[ -x "$BIN" ] || { echo "no $BIN: build quillion-render first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "GNU time is not installed (apt-get install time)" >&2; exit 1; }

WORK=$(mktemp -d /dev/shm/quillion-memory.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

awk -v n="$LINES" 'BEGIN { for (i = 1; i <= n; i++) printf "BAD*%d\n", i }' >"$WORK/failing.txt"
awk -v n="$LINES" 'BEGIN { for (i = 1; i <= n; i++) printf "CODE%d\n", i }' >"$WORK/good.txt"

# measure NAME INPUT EXPECTED_STATUS: peak resident memory and wall time of one batch.
measure() {
    local name=$1 input=$2 expected=$3 status=0
    rm -rf "$WORK/out"
    /usr/bin/time -f '%M %e' -o "$WORK/time" \
        "$BIN" --type code39 --batch "$input" --out-dir "$WORK/out" 2>"$WORK/stderr" || status=$?
    [ "$status" -eq "$expected" ] || { echo "$name: exit status $status" >&2; head -3 "$WORK/stderr" >&2; exit 1; }
    read -r kb seconds < <(tail -1 "$WORK/time") # after "Command exited with non-zero status"
    printf '%-28s peak RSS %6.1f MB   %6.1f s   (%s lines, %s messages)\n' "$name" \
        "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')" "$seconds" "$LINES" "$(wc -l <"$WORK/stderr")"
}
echo "processors: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
measure "code39, every line failing" "$WORK/failing.txt" 1
measure "code39, every line good" "$WORK/good.txt" 0
[ "$(find "$WORK/out" -name '*.png' | wc -l)" -eq "$LINES" ] || { echo "files missing" >&2; exit 1; }
