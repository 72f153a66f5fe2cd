#!/usr/bin/env bash
# Peer comparison: quillion-render's batch mode against Debian's zint on the same 2000 Code 128
# texts, both writing PNG files to tmpfs. Runs alternate; the medians are compared.
#
#   bench/peer_zint.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR holds quillion-render (a Release build; default build/), RUNS is the number of
# runs of each program (default 7). zint runs with 1-pixel modules (--scale=0.5), at which it
# draws no human-readable text; quillion-render draws its caption (the default options).
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SRC/build}
RUNS=${2:-7}
LINES=2000
BIN=$BUILD/quillion-render
command -v zint >/dev/null || { echo "zint is not installed (apt-get install zint)" >&2; exit 1; }
[ -x "$BIN" ] || { echo "no $BIN: build quillion-render first" >&2; exit 1; }

WORK=$(mktemp -d /dev/shm/quillion-peer.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
INPUT=$WORK/texts.txt

# 2000 texts of 5 to 21 printable ASCII characters from a fixed linear congruential sequence.
awk -v n="$LINES" 'BEGIN {
    seed = 20240917
    for (i = 0; i < n; i++) {
        seed = (seed * 1103515245 + 12345) % 2147483648
        len = 5 + int(seed / 65536) % 17
        line = ""
        for (j = 0; j < len; j++) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            line = line sprintf("%c", 32 + int(seed / 65536) % 95)
        }
        print line
    }
}' >"$INPUT"

now_us() { echo $(( ${EPOCHREALTIME/./} )); }

# run_once NAME COMMAND...: runs the command with an empty output folder, prints microseconds.
run_once() {
    local out=$1
    shift
    rm -rf "$out"
    mkdir -p "$out"
    local start end
    start=$(now_us)
    "$@" >/dev/null 2>"$WORK/stderr" || { echo "failed: $* ($(head -3 "$WORK/stderr"))" >&2; exit 1; }
    end=$(now_us)
    echo $((end - start))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

quillion_png=() zint_png=() quillion_jpg=()
for ((r = 0; r < RUNS; r++)); do
    zint_png+=("$(run_once "$WORK/zint" zint -b CODE128 --batch -i "$INPUT" --scale=0.5 -o "$WORK/zint/~~~~~.png")")
    quillion_png+=("$(run_once "$WORK/qpng" "$BIN" --batch "$INPUT" --out-dir "$WORK/qpng" --format png)")
    quillion_jpg+=("$(run_once "$WORK/qjpg" "$BIN" --batch "$INPUT" --out-dir "$WORK/qjpg" --format jpg)")
done

count() { find "$1" -type f | wc -l; }
[ "$(count "$WORK/qpng")" -eq "$LINES" ] || { echo "quillion-render wrote $(count "$WORK/qpng") PNG files" >&2; exit 1; }
[ "$(count "$WORK/zint")" -eq "$LINES" ] || { echo "zint wrote $(count "$WORK/zint") files" >&2; exit 1; }

zint_med=$(printf '%s\n' "${zint_png[@]}" | median)
qpng_med=$(printf '%s\n' "${quillion_png[@]}" | median)
qjpg_med=$(printf '%s\n' "${quillion_jpg[@]}" | median)
report() { awk -v name="$1" -v us="$2" -v n="$LINES" \
    'BEGIN { printf "%-34s median %8.1f ms  %6.1f us per barcode\n", name, us / 1000, us / n }'; }
echo "$LINES Code 128 texts of 5-21 printable ASCII characters, $RUNS runs each, output on /dev/shm"
echo "processors: $(nproc); zint $(zint --version 2>/dev/null | head -1 | awk '{print $NF}')"
report "zint PNG (1-pixel modules)" "$zint_med"
report "quillion-render PNG (caption)" "$qpng_med"
report "quillion-render JPEG q80 (caption)" "$qjpg_med"
awk -v q="$qpng_med" -v z="$zint_med" 'BEGIN { printf "ratio quillion PNG / zint PNG: %.2f (target <= 0.5)\n", q / z }'
