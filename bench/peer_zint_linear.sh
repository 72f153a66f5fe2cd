#!/usr/bin/env bash
# Peer comparison for EAN-13 and Code 128 with automatic code sets: quillion-render's batch mode
# against Debian's zint on the same 2000 texts each, both writing PNG files to tmpfs. Runs
# alternate; the medians are compared.
#
#   bench/peer_zint_linear.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR holds quillion-render (a Release build; default build/), RUNS the number of runs of
# each program (default 5). zint draws 1-pixel modules (--scale=0.5) without text for Code 128
# (at that scale it draws none) and EAN-13's digits; quillion-render draws its caption and digits.
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SRC/build}
RUNS=${2:-5}
LINES=2000
BIN=$BUILD/quillion-render
command -v zint >/dev/null || { echo "zint is not installed (apt-get install zint)" >&2; exit 1; }
[ -x "$BIN" ] || { echo "no $BIN: build quillion-render first" >&2; exit 1; }

WORK=$(mktemp -d /dev/shm/quillion-peer.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# 2000 twelve-digit EAN-13 texts and 2000 texts of 5 to 30 characters in runs of digits and of
# letters, from a fixed linear congruential sequence.
awk -v n="$LINES" 'BEGIN {
    seed = 20261207
    for (i = 0; i < n; i++) {
        line = ""
        for (j = 0; j < 12; j++) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            line = line int(seed / 65536) % 10
        }
        print line >"/dev/stdout"
        seed = (seed * 1103515245 + 12345) % 2147483648
        len = 5 + int(seed / 65536) % 26
        mixed = ""
        while (length(mixed) < len) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            run = 1 + int(seed / 65536) % 8
            digits = int(seed / 256) % 2
            for (k = 0; k < run; k++) {
                seed = (seed * 1103515245 + 12345) % 2147483648
                r = int(seed / 65536)
                mixed = mixed (digits ? r % 10 : substr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 1 + r % 52, 1))
            }
        }
        print substr(mixed, 1, len) >"/dev/stderr"
    }
}' >"$WORK/ean.txt" 2>"$WORK/mixed.txt"

now_us() { echo $(( ${EPOCHREALTIME/./} )); }
run_once() {
    local out=$1
    shift
    rm -rf "$out"
    mkdir -p "$out"
    local start end
    start=$(now_us)
    "$@" >/dev/null 2>"$WORK/stderr" || { echo "failed: $* ($(head -3 "$WORK/stderr"))" >&2; exit 1; }
    end=$(now_us)
    echo "$((end - start))"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

names=(zean qean zauto qauto)
declare -A wall
for ((r = 0; r < RUNS; r++)); do
    for name in "${names[@]}"; do
        case $name in
        zean) cmd=(zint -b EANX --batch -i "$WORK/ean.txt" --scale=0.5 -o "$WORK/zean/~~~~~.png") ;;
        qean) cmd=("$BIN" -t ean13 --batch "$WORK/ean.txt" --out-dir "$WORK/qean") ;;
        zauto) cmd=(zint -b CODE128 --batch -i "$WORK/mixed.txt" --scale=0.5 -o "$WORK/zauto/~~~~~.png") ;;
        qauto) cmd=("$BIN" --code-set auto --batch "$WORK/mixed.txt" --out-dir "$WORK/qauto") ;;
        esac
        wall[$name]+="$(run_once "$WORK/$name" "${cmd[@]}") "
    done
done
for name in "${names[@]}"; do
    n=$(find "$WORK/$name" -type f | wc -l)
    [ "$n" -eq "$LINES" ] || { echo "$name wrote $n files" >&2; exit 1; }
done

med() { printf '%s\n' $1 | median; }
report() {
    awk -v name="$1" -v us="$(med "${wall[$2]}")" -v n="$LINES" 'BEGIN {
        printf "%-36s median %7.1f ms  %6.1f us per barcode  %8.0f barcodes/s\n", name, us / 1000, us / n, n * 1e6 / us
    }'
}
echo "$LINES texts each, $RUNS runs, PNG on /dev/shm; processors: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
report "zint EAN-13 (EANX)" zean
report "quillion-render -t ean13" qean
report "zint Code 128 (automatic sets)" zauto
report "quillion-render --code-set auto" qauto
