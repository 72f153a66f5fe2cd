#!/usr/bin/env bash
# quillion-render against hostile targets and inputs: devices (made with mknod in the test's own
# folder), FIFOs with and without a reader, links and read-only files as targets; links, FIFOs
# and devices inside the batch folder; a folder or a closed standard input as input; closed
# output streams; Ctrl+C in the middle of a re-run; two batches into one folder; a full disk.
# Each group ends with a good render that is read back.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
ROOT=$(($(id -u) == 0))

mode_of() { stat -c %F "$1"; }

# good_render WHAT: the program still works after the faults of a group.
good_render() {
    "$BIN" --output "$WORK/good.png" "After $1" 2>/dev/null || fail "$1: good render failed"
    [ "$(decode "$WORK/good.png")" = "After $1" ] || fail "$1: good render does not read back"
}

# decode_many FOLDER FIRST LAST: the texts of FOLDER's files FIRST..LAST (five-digit names),
# one line each, in order; one conversion and one zbarimg run for all of them.
decode_many() {
    local folder=$1 first=$2 last=$3 scaled=$WORK/scaled
    rm -rf "$scaled"
    mkdir -p "$scaled"
    local files=() n
    for ((n = first; n <= last; n++)); do files+=("$folder/$(printf '%05d' "$n").png"); done
    mogrify -path "$scaled" -bordercolor white -border 20 -scale 200% "${files[@]}" 2>/dev/null
    files=()
    for ((n = first; n <= last; n++)); do files+=("$scaled/$(printf '%05d' "$n").png"); done
    zbarimg --quiet --raw "${files[@]}" 2>/dev/null
}

# texts_read FOLDER COUNT NEW_UPTO WHAT: files 1..COUNT of FOLDER each read back whole as
# "A<n>" or "B<n>", and as "B<n>" up to NEW_UPTO.
texts_read() {
    local n=0 text
    while IFS= read -r text; do
        n=$((n + 1))
        [ "$text" = "B$n" ] || { [ "$n" -gt "$3" ] && [ "$text" = "A$n" ]; } ||
            fail "$4: file $n reads [$text]"
    done < <(decode_many "$1" 1 "$2")
    [ "$n" -eq "$2" ] || fail "$4: $n of $2 files read back"
}

# lines PREFIX COUNT: "PREFIX1" ... "PREFIXCOUNT", one per line.
lines() { awk -v p="$1" -v n="$2" 'BEGIN { for (i = 1; i <= n; i++) printf "%s%d\n", p, i }'; }

# --- Single-file targets ------------------------------------------------------------------
mkfifo "$WORK/nobody.png"
expect_run 1 'cannot write .*nobody.png: no process reads the FIFO' "FIFO without a reader" \
    timeout 20 "$BIN" --output "$WORK/nobody.png" AB
[ "$(mode_of "$WORK/nobody.png")" = fifo ] || fail "FIFO without a reader was replaced"

mkfifo "$WORK/read.png"
cat "$WORK/read.png" >"$WORK/through.png" &
reader=$!
for _ in $(seq 100); do
    timeout 20 "$BIN" --output "$WORK/read.png" "Through a FIFO" 2>/dev/null && break
    sleep 0.1
done
wait "$reader"
[ "$(mode_of "$WORK/read.png")" = fifo ] || fail "FIFO with a reader was replaced"
[ "$(decode "$WORK/through.png")" = "Through a FIFO" ] || fail "FIFO: the reader got no whole picture"

printf 'keep me' >"$WORK/ro.png"
chmod 444 "$WORK/ro.png"
expect_run 1 'read-only' "read-only target" "$BIN" --output "$WORK/ro.png" AB
[ "$(cat "$WORK/ro.png")" = "keep me" ] || fail "read-only target was changed"

if [ "$ROOT" -eq 1 ]; then
    mknod "$WORK/null" c 1 3 && mknod "$WORK/full" c 1 7
    ln -s "$WORK/full" "$WORK/full-link"
    "$BIN" --format png --output "$WORK/null" AB || fail "device that takes everything: failed"
    for target in full full-link; do
        expect_run 1 'No space left on device' "$target" \
            "$BIN" --format png --output "$WORK/$target" AB
    done
    "$BIN" --batch - --out-dir "$WORK/unused" --format jpg <<<"AB" >/dev/null 2>&1
    for node in null full; do
        [ "$(mode_of "$WORK/$node")" = "character special file" ] || fail "$node is no longer a device"
    done
    [ -L "$WORK/full-link" ] || fail "the link to a device was replaced"
    # Standard output on a full device: the usage cannot be written, so the run fails.
    "$BIN" --help >"$WORK/full" 2>/dev/null && fail "--help onto a full device exited 0"
fi
good_render "single-file targets"

# --- Batch folder entries -----------------------------------------------------------------
mkdir -p "$WORK/batch"
printf 'victim bytes' >"$WORK/victim"
ln -s "$WORK/victim" "$WORK/batch/00001.png"
mkfifo "$WORK/batch/00002.png"
[ "$ROOT" -eq 1 ] && mknod "$WORK/batch/00003.png" c 1 3
printf 'Entry 1\nEntry 2\nEntry 3\n' >"$WORK/entries.txt"
timeout 20 "$BIN" --batch "$WORK/entries.txt" --out-dir "$WORK/batch" 2>"$WORK/err" ||
    fail "batch over links, FIFOs and devices: $(cat "$WORK/err")"
[ "$(cat "$WORK/victim")" = "victim bytes" ] || fail "batch wrote through a link"
for n in 1 2 3; do
    f=$WORK/batch/0000$n.png
    [ -f "$f" ] && [ ! -L "$f" ] || fail "batch entry $n is not a regular file"
    [ "$(decode "$f")" = "Entry $n" ] || fail "batch entry $n does not read back"
done
good_render "batch folder entries"

# --- Inputs and output streams ------------------------------------------------------------
mkdir -p "$WORK/a folder"
expect_run 1 '^quillion-render: cannot read .*/a folder: Is a directory$' "folder as input" \
    "$BIN" --batch "$WORK/a folder" --out-dir "$WORK/o1"
expect_run 1 '^quillion-render: cannot read standard input: Bad file descriptor$' \
    "closed standard input" "$BIN" --batch - --out-dir "$WORK/o2" <&-
"$BIN" --help >&- 2>/dev/null && fail "--help with standard output closed exited 0"
# The summary line cannot be written: the batch's files are, and the status says a line was lost.
printf 'AB\n' | "$BIN" --batch - --out-dir "$WORK/o3" 2>&-
[ $? -eq 1 ] && [ -s "$WORK/o3/00001.png" ] || fail "closed standard error: not 1, or no file"
printf 'AB\ncaf\xe2\x82\xac\n' | "$BIN" --batch - --out-dir "$WORK/o4" 2>&-
[ $? -eq 1 ] || fail "closed standard error with a failing line: not 1"
[ "$(ls -A "$WORK/o4")" = "00001.png" ] || fail "closed standard error: a message went into a file: $(ls -A "$WORK/o4")"
good_render "inputs and output streams"

# --- Ctrl+C during a re-run ---------------------------------------------------------------
total=6000
lines A "$total" >"$WORK/first.txt"
lines B "$total" >"$WORK/second.txt"
"$BIN" --batch "$WORK/first.txt" --out-dir "$WORK/rerun" 2>/dev/null || fail "first run failed"
touch "$WORK/marker"
sleep 1.1 # file times are in whole seconds on some file systems
set -m    # the background job keeps SIGINT (a non-interactive shell would ignore it there)
"$BIN" --batch "$WORK/second.txt" --out-dir "$WORK/rerun" 2>"$WORK/rerun.err" &
job=$!
for _ in $(seq 600); do
    [ -n "$(find "$WORK/rerun" -name '*.png' -newer "$WORK/marker" -print -quit)" ] && break
    sleep 0.05
done
kill -INT "$job"
wait "$job"
status=$?
set +m
[ "$status" -eq 130 ] || fail "SIGINT: exit status $status, expected 130 ($(cat "$WORK/rerun.err"))"
last=$(sed -n 's/^quillion-render: interrupted after line \([0-9]*\)$/\1/p' "$WORK/rerun.err")
if [ -z "$last" ]; then
    fail "SIGINT: no 'interrupted after line N': $(cat "$WORK/rerun.err")"
else
    [ -z "$(ls -A "$WORK/rerun" | grep '^\.')" ] || fail "SIGINT left temporary files"
    [ -z "$(find "$WORK/rerun" -empty)" ] || fail "SIGINT left empty files"
    [ "$(ls "$WORK/rerun" | wc -l)" -eq "$total" ] || fail "SIGINT: files lost"
    # Lines up to N hold the new text; after it, each file holds one run's text, whole.
    upto=$((last + 100 > total ? total : last + 100))
    texts_read "$WORK/rerun" "$upto" "$last" SIGINT
    echo "interrupted after line $last of $total; files 1 to $upto read back"
fi
good_render "Ctrl+C"

# A batch started with SIGINT ignored (as nohup and a shell's background jobs start it) goes on
# to the end when SIGINT comes.
lines C 3000 >"$WORK/ignored.txt"
(
    trap '' INT
    exec "$BIN" --batch "$WORK/ignored.txt" --out-dir "$WORK/ignored" 2>"$WORK/ignored.err"
) &
job=$!
for _ in $(seq 600); do
    [ -n "$(find "$WORK/ignored" -name '*.png' -print -quit 2>/dev/null)" ] && break
    sleep 0.05
done
kill -INT "$job" 2>/dev/null || fail "SIGINT ignored: the batch ended before the signal"
wait "$job"
status=$?
[ "$status" -eq 0 ] || fail "SIGINT ignored: exit status $status ($(cat "$WORK/ignored.err"))"
[ "$(ls "$WORK/ignored" | wc -l)" -eq 3000 ] || fail "SIGINT ignored: not every file written"
good_render "SIGINT ignored"

# --- Two batches into one folder at once --------------------------------------------------
lines A 600 >"$WORK/a.txt"
lines B 600 >"$WORK/b.txt"
"$BIN" --batch "$WORK/a.txt" --out-dir "$WORK/both" --jobs 1 2>/dev/null &
one=$!
"$BIN" --batch "$WORK/b.txt" --out-dir "$WORK/both" --jobs 1 2>/dev/null || fail "second batch failed"
wait "$one" || fail "first batch failed"
texts_read "$WORK/both" 600 0 "two batches"
good_render "two batches"

# --- A full disk keeps the earlier files --------------------------------------------------
mkdir -p "$WORK/small"
if [ "$ROOT" -eq 1 ] && mount -t tmpfs -o size=64k tmpfs "$WORK/small" 2>/dev/null; then
    trap 'umount -l "$WORK/small" 2>/dev/null; rm -rf "$WORK"' EXIT
    lines Old 3 >"$WORK/old.txt"
    lines "A longer new text number " 3 >"$WORK/new.txt"
    "$BIN" --batch "$WORK/old.txt" --out-dir "$WORK/small" || fail "full disk: first run failed"
    yes filler | head -c 1000000 >"$WORK/small/filler" 2>/dev/null
    expect_run 1 'No space left on device' "full disk" \
        "$BIN" --batch "$WORK/new.txt" --out-dir "$WORK/small"
    [ "$(grep -c 'No space left on device' "$WORK/err")" -eq 3 ] || fail "full disk: $(cat "$WORK/err")"
    for n in 1 2 3; do
        [ "$(decode "$WORK/small/0000$n.png")" = "Old$n" ] || fail "full disk: the earlier file $n is lost"
    done
    [ -z "$(ls -A "$WORK/small" | grep '^\.')" ] || fail "full disk: temporary files left"
    rm "$WORK/small/filler"
    "$BIN" --batch "$WORK/new.txt" --out-dir "$WORK/small" || fail "full disk: run with room failed"
    [ "$(decode "$WORK/small/00002.png")" = "A longer new text number 2" ] || fail "full disk: run with room"
    umount -l "$WORK/small"
fi
good_render "a full disk"

finish "quillion-render faults"
