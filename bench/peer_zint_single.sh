#!/usr/bin/env bash
# Peer comparison, one barcode per process: quillion-render against Debian's zint, each started
# once per Code 128 PNG, the way scripts and web back-ends call a barcode tool. hyperfine runs
# the commands in one session (warm-up, then alternating batches) and reports medians.
#
#   bench/peer_zint_single.sh [BUILD_DIR] [RUNS] [WARMUP]
#
# BUILD_DIR holds quillion-render (a Release build; default build/). RUNS (default 80) and
# WARMUP (default 10) are hyperfine's --runs and --warmup. Output goes to /dev/shm. The font
# cache lives in a private folder, filled by the warm-up runs as any second call would find it.
# zint draws 2-pixel modules with its text (--scale=1), quillion-render its caption.
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$SRC/build}
RUNS=${2:-80}
WARMUP=${3:-10}
BIN=$BUILD/quillion-render
for tool in zint hyperfine; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (apt-get install $tool)" >&2; exit 1; }
done
[ -x "$BIN" ] || { echo "no $BIN: build quillion-render first" >&2; exit 1; }

WORK=$(mktemp -d /dev/shm/quillion-single.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export XDG_CACHE_HOME=$WORK/cache

TEXT1=Coca-Cola-12pk-699
TEXT2=ABC-123456
names=(quillion-caption quillion-no-caption zint-text)
commands=(
    "$BIN --output $WORK/a.png $TEXT1"
    "$BIN --no-caption --output $WORK/b.png $TEXT2"
    "zint -b CODE128 --scale=1 -o $WORK/z.png -d $TEXT1"
)
for c in "${commands[@]}"; do
    $c || { echo "failed: $c" >&2; exit 1; }
done

echo "one process per Code 128 PNG on /dev/shm; $RUNS runs after $WARMUP warm-up runs each"
echo "processors: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg); zint $(zint --version 2>/dev/null | head -1 | awk '{print $NF}')"
args=()
for i in "${!names[@]}"; do
    args+=(--command-name "${names[$i]}" "${commands[$i]}")
done
hyperfine -N --style basic --warmup "$WARMUP" --runs "$RUNS" --export-csv "$WORK/result.csv" \
    "${args[@]}" >"$WORK/hyperfine.txt" 2>&1 || { cat "$WORK/hyperfine.txt" >&2; exit 1; }

# hyperfine's CSV: command,mean,stddev,median,user,system,min,max (seconds). hyperfine runs
# each command's runs in one block, so on a shared machine a burst of load can fall on one of
# them: the CPU times (user + system, means) and the fastest runs are the steadier figures.
awk -F, 'NR > 1 {
    med[$1] = $4 * 1000
    low[$1] = $7 * 1000
    cpu[$1] = ($5 + $6) * 1000
    printf "%-22s median %6.2f ms  (mean %6.2f, min %6.2f; user %5.2f, system %5.2f ms)\n",
        $1, $4 * 1000, $2 * 1000, $7 * 1000, $5 * 1000, $6 * 1000
} END {
    printf "ratio quillion-render (caption) / zint (text), medians: %.2f (target <= 1.0)\n",
        med["quillion-caption"] / med["zint-text"]
    printf "ratio of CPU time (user + system): %.2f; of the fastest runs: %.2f\n",
        cpu["quillion-caption"] / cpu["zint-text"], low["quillion-caption"] / low["zint-text"]
}' "$WORK/result.csv"
