#!/usr/bin/env bash
# Peer comparison: quillion-render's batch mode against Debian's zint on the same 2000 Code 128
# texts, both writing PNG files to tmpfs. Runs alternate; the medians are compared. The cost of
# --verify (every picture read back before it is written) and of a 300-dpi label (--quiet-zones
# --dpi 300 --module-width 0.33mm, 4-pixel modules) are measured in the same runs, and so is
# the floor: bench/floor_writer, two threads writing 2,000 files of 600 bytes (about a Code 128
# PNG's size) under temporary names renamed over the final ones, and the same written as
# quillion-render's whole-file writer does first (O_TMPFILE, then linkat).
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
FLOOR=$BUILD/bench/floor_writer
[ -x "$FLOOR" ] || { echo "no $FLOOR: build the target floor_writer first" >&2; exit 1; }

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

# cpu_us FILE: the children's CPU time (user + system, microseconds) in the output of "times".
cpu_us() {
    tail -1 "$1" | awk '{
        total = 0
        for (i = 1; i <= 2; i++) { split($i, p, "m"); sub("s", "", p[2]); total += p[1] * 60 + p[2] }
        printf "%d\n", total * 1000000
    }'
}

# run_once OUT COMMAND...: runs the command with an empty output folder; prints the wall time
# and the CPU time in microseconds.
run_once() {
    local out=$1
    shift
    rm -rf "$out"
    mkdir -p "$out"
    local start end
    times >"$WORK/times0" # in this shell: $(times) would run in a subshell without children
    start=$(now_us)
    "$@" >/dev/null 2>"$WORK/stderr" || { echo "failed: $* ($(head -3 "$WORK/stderr"))" >&2; exit 1; }
    end=$(now_us)
    times >"$WORK/times1"
    echo "$((end - start)) $(($(cpu_us "$WORK/times1") - $(cpu_us "$WORK/times0")))"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

names=(zint qpng floor flink qjpg qvfy)
# A renderer without the label options (an older build, for comparison) skips that run.
"$BIN" --help | grep -q -- --quiet-zones && names+=(qlbl)
declare -A wall cpu
for ((r = 0; r < RUNS; r++)); do
    for name in "${names[@]}"; do
        case $name in
        floor) cmd=("$FLOOR" "$WORK/floor" "$LINES" 600 rename) ;;
        flink) cmd=("$FLOOR" "$WORK/flink" "$LINES" 600 link) ;;
        zint) cmd=(zint -b CODE128 --batch -i "$INPUT" --scale=0.5 -o "$WORK/zint/~~~~~.png") ;;
        qpng) cmd=("$BIN" --batch "$INPUT" --out-dir "$WORK/qpng" --format png) ;;
        qjpg) cmd=("$BIN" --batch "$INPUT" --out-dir "$WORK/qjpg" --format jpg) ;;
        qvfy) cmd=("$BIN" --batch "$INPUT" --out-dir "$WORK/qvfy" --format png --verify) ;;
        qlbl) cmd=("$BIN" --batch "$INPUT" --out-dir "$WORK/qlbl" --format png --quiet-zones --dpi 300
            --module-width 0.33mm) ;;
        esac
        read -r w c < <(run_once "$WORK/$name" "${cmd[@]}")
        wall[$name]+="$w "
        cpu[$name]+="$c "
    done
done

count() { find "$1" -type f | wc -l; }
for name in "${names[@]}"; do
    [ "$(count "$WORK/$name")" -eq "$LINES" ] || { echo "$name wrote $(count "$WORK/$name") files" >&2; exit 1; }
done

med() { printf '%s\n' $1 | median; }
report() {
    awk -v name="$1" -v us="$(med "${wall[$2]}")" -v cpu="$(med "${cpu[$2]}")" -v n="$LINES" 'BEGIN {
        printf "%-34s median %7.1f ms  %5.1f us per barcode   (CPU %6.1f ms)\n", name, us / 1000, us / n, cpu / 1000
    }'
}
echo "$LINES Code 128 texts of 5-21 printable ASCII characters, $RUNS runs each, output on /dev/shm"
echo "processors: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg); zint $(zint --version 2>/dev/null | head -1 | awk '{print $NF}')"
report "zint PNG (1-pixel modules)" zint
report "quillion-render PNG (caption)" qpng
report "floor: 2 threads, temp + rename" floor
report "floor: 2 threads, O_TMPFILE + link" flink
report "quillion-render JPEG q80 (caption)" qjpg
report "quillion-render PNG --verify" qvfy
[ -z "${wall[qlbl]:-}" ] || report "quillion-render PNG 300-dpi label" qlbl
awk -v q="$(med "${wall[qpng]}")" -v z="$(med "${wall[zint]}")" \
    'BEGIN { printf "ratio quillion PNG / zint PNG (median wall time): %.2f (target <= 0.2)\n", q / z }'
awk -v q="$(med "${wall[qpng]}")" -v f="$(med "${wall[floor]}")" \
    'BEGIN { printf "ratio quillion PNG / floor (median wall time): %.2f (target <= 1.5)\n", q / f }'
awk -v q="$(med "${cpu[qpng]}")" -v z="$(med "${cpu[zint]}")" -v f="$(med "${cpu[floor]}")" \
    'BEGIN { printf "CPU time: quillion PNG / zint PNG %.2f, quillion PNG / floor %.2f\n", q / z, q / f }'
awk -v v="$(med "${wall[qvfy]}")" -v q="$(med "${wall[qpng]}")" \
    'BEGIN { printf "ratio PNG --verify / PNG (median wall time): %.2f (target <= 2)\n", v / q }'
