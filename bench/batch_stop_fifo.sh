#!/usr/bin/env bash
# How fast a batch stops on SIGTERM with a FIFO in the font cache folder: TRIALS batches with
# --jobs 2, each sent SIGTERM after a second; prints each exit status and the time from the
# signal to the exit, then how many ended with 143 within a second.
#
#   bench/batch_stop_fifo.sh [BUILD_DIR] [TRIALS]
set -uo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
BIN=${1:-$SRC/build}/quillion-render
TRIALS=${2:-20}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_CACHE_HOME=$WORK/cache
mkdir -p -m 700 "$XDG_CACHE_HOME/quillion"
seq 100000 300000 >"$WORK/lines.txt"

good=0
for trial in $(seq "$TRIALS"); do
    rm -rf "$XDG_CACHE_HOME/quillion"/* "$WORK/out"
    mkfifo "$XDG_CACHE_HOME/quillion/font-faces"
    "$BIN" --batch "$WORK/lines.txt" --out-dir "$WORK/out" --jobs 2 2>"$WORK/err" &
    job=$!
    sleep 1
    kill -TERM "$job"
    sent=$(date +%s%N)
    wait "$job"
    status=$?
    ms=$((($(date +%s%N) - sent) / 1000000))
    echo "trial $trial: exit $status after $ms ms ($(grep -c . "$WORK/err") lines on stderr)"
    [ "$status" -eq 143 ] && [ "$ms" -lt 1000 ] && good=$((good + 1))
done
echo "$good of $TRIALS batches ended with 143 within 1 s of SIGTERM"
