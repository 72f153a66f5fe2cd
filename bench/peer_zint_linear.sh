#!/usr/bin/env bash
# Peer comparison for EAN-13, Code 128 with automatic code sets, QR Code and Data Matrix:
# quillion-render's batch mode against Debian's zint --batch on the same 2000 texts each, both
# writing PNG files to tmpfs, at the same module size (1 pixel). Runs alternate; the medians are
# compared. Quillion alone also runs 2000 automatic Code 128 texts of 10 and of 990 characters
# (the longest 1-pixel Code 128 picture it takes is about 1,000 characters), to compare the cost
# per character.
#
#   bench/peer_zint_linear.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR holds quillion-render (a Release build; default build/), RUNS the number of runs of
# each program (default 5). zint draws 1-pixel modules (--scale=0.5), at which it draws no text;
# quillion-render draws 1-pixel modules (--module-width 1) with its caption and EAN-13's digits.
# Both QR Code and Data Matrix take 2000 URLs of 40 to 80 characters.
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

# 2000 URLs of 40 to 80 characters; 2000 texts of 10 and of 990 letters and digits in runs.
awk -v n="$LINES" 'BEGIN {
    seed = 20261208
    chars = "abcdefghijklmnopqrstuvwxyz0123456789-_/=&?"
    for (i = 0; i < n; i++) {
        seed = (seed * 1103515245 + 12345) % 2147483648
        len = 40 + int(seed / 65536) % 41
        url = "https://quillion.example/"
        while (length(url) < len) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            url = url substr(chars, 1 + int(seed / 65536) % length(chars), 1)
        }
        print url
    }
}' >"$WORK/url.txt"
runs_of() {
    awk -v n="$LINES" -v len="$1" -v seed="$2" 'BEGIN {
        for (i = 0; i < n; i++) {
            line = ""
            while (length(line) < len) {
                seed = (seed * 1103515245 + 12345) % 2147483648
                run = 1 + int(seed / 65536) % 8
                digits = int(seed / 256) % 2
                for (k = 0; k < run; k++) {
                    seed = (seed * 1103515245 + 12345) % 2147483648
                    r = int(seed / 65536)
                    line = line (digits ? r % 10 : substr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 1 + r % 52, 1))
                }
            }
            print substr(line, 1, len)
        }
    }'
}
runs_of 10 1 >"$WORK/auto10.txt"
runs_of 990 2 >"$WORK/auto990.txt"

now_us() { echo $(( ${EPOCHREALTIME/./} )); }
# cpu_us FILE: the children's CPU time (user + system, microseconds) in the output of "times".
cpu_us() {
    tail -1 "$1" | awk '{
        total = 0
        for (i = 1; i <= 2; i++) { split($i, p, "m"); sub("s", "", p[2]); total += p[1] * 60 + p[2] }
        printf "%d\n", total * 1000000
    }'
}
# run_once OUT COMMAND...: the wall and CPU time of the command in microseconds (on a shared
# machine the CPU time is the steadier figure).
run_once() {
    local out=$1
    shift
    rm -rf "$out"
    mkdir -p "$out"
    local start end
    times >"$WORK/times0"
    start=$(now_us)
    "$@" >/dev/null 2>"$WORK/stderr" || { echo "failed: $* ($(head -3 "$WORK/stderr"))" >&2; exit 1; }
    end=$(now_us)
    times >"$WORK/times1"
    echo "$((end - start)) $(($(cpu_us "$WORK/times1") - $(cpu_us "$WORK/times0")))"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

names=(zean qean zauto qauto zqr qqr zdm qdm q10 q990)
declare -A wall cpu
for ((r = 0; r < RUNS; r++)); do
    for name in "${names[@]}"; do
        case $name in
        zean) cmd=(zint -b EANX --batch -i "$WORK/ean.txt" --scale=0.5 -o "$WORK/zean/~~~~~.png") ;;
        qean) cmd=("$BIN" -t ean13 --module-width 1 --batch "$WORK/ean.txt" --out-dir "$WORK/qean") ;;
        zauto) cmd=(zint -b CODE128 --batch -i "$WORK/mixed.txt" --scale=0.5 -o "$WORK/zauto/~~~~~.png") ;;
        qauto) cmd=("$BIN" --code-set auto --batch "$WORK/mixed.txt" --out-dir "$WORK/qauto") ;;
        zqr) cmd=(zint -b QRCODE --batch -i "$WORK/url.txt" --scale=0.5 -o "$WORK/zqr/~~~~~.png") ;;
        qqr) cmd=("$BIN" -t qr --module-width 1 --batch "$WORK/url.txt" --out-dir "$WORK/qqr") ;;
        zdm) cmd=(zint -b DATAMATRIX --batch -i "$WORK/url.txt" --scale=0.5 -o "$WORK/zdm/~~~~~.png") ;;
        qdm) cmd=("$BIN" -t datamatrix --module-width 1 --batch "$WORK/url.txt" --out-dir "$WORK/qdm") ;;
        q10) cmd=("$BIN" --code-set auto --batch "$WORK/auto10.txt" --out-dir "$WORK/q10") ;;
        q990) cmd=("$BIN" --code-set auto --batch "$WORK/auto990.txt" --out-dir "$WORK/q990") ;;
        esac
        read -r w c < <(run_once "$WORK/$name" "${cmd[@]}")
        wall[$name]+="$w "
        cpu[$name]+="$c "
    done
done
for name in "${names[@]}"; do
    n=$(find "$WORK/$name" -type f | wc -l)
    [ "$n" -eq "$LINES" ] || { echo "$name wrote $n files" >&2; exit 1; }
done

med() { printf '%s\n' $1 | median; }
report() {
    awk -v name="$1" -v us="$(med "${wall[$2]}")" -v cpu="$(med "${cpu[$2]}")" -v n="$LINES" 'BEGIN {
        printf "%-36s median %7.1f ms  %6.1f us per barcode  %8.0f barcodes/s  (CPU %7.1f ms)\n", name, us / 1000, us / n, n * 1e6 / us, cpu / 1000
    }'
}
echo "$LINES texts each, $RUNS runs, PNG on /dev/shm; processors: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
report "zint EAN-13 (EANX)" zean
report "quillion-render -t ean13" qean
report "zint Code 128 (automatic sets)" zauto
report "quillion-render --code-set auto" qauto
report "zint QR Code (URLs 40-80)" zqr
report "quillion-render -t qr" qqr
report "zint Data Matrix (URLs 40-80)" zdm
report "quillion-render -t datamatrix" qdm
report "quillion-render auto, 10 characters" q10
report "quillion-render auto, 990 characters" q990
ratio() {
    awk -v what="$1" -v q="$(med "${wall[$2]}")" -v z="$(med "${wall[$3]}")" -v t="$4" \
        -v qc="$(med "${cpu[$2]}")" -v zc="$(med "${cpu[$3]}")" \
        'BEGIN { printf "ratio %-28s %5.2f (target <= %s; CPU time %.2f)\n", what ":", q / z, t, qc / zc }'
}
ratio "EAN-13 quillion / zint" qean zean 0.3
ratio "auto Code 128 quillion / zint" qauto zauto 0.3
ratio "QR Code quillion / zint" qqr zqr 0.5
ratio "Data Matrix quillion / zint" qdm zdm 0.5
awk -v a="$(med "${wall[q10]}")" -v b="$(med "${wall[q990]}")" -v n="$LINES" 'BEGIN {
    printf "per character: 10 characters %.3f us, 990 characters %.3f us (target: 990 <= 10)\n",
        a / n / 10, b / n / 990
}'
