#!/usr/bin/env bash
# quillion-render --batch stopped by SIGINT while a line or the input is held up, past the
# half-second grace the batch gives the lines in progress.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"

# Line 1 needs a font, and fontconfig's configuration is a FIFO that nobody writes: that line
# stays in progress for ever, while lines 2 to 4 (not UTF-8) fail at once. Then a batch whose
# input stalls after one line. Either way the batch ends half a second after SIGINT (a batch
# that waits for the line or the input is killed after 30 s), says up to which line everything
# is done, and writes nothing for a line it left.
mkfifo "$WORK/fonts.fifo" "$WORK/input.fifo"
printf 'AB\nA\xffB\nA\xffC\nA\xffD\n' >"$WORK/held.txt"
set -m
XDG_CACHE_HOME=$WORK/held-cache FONTCONFIG_FILE=$WORK/fonts.fifo timeout --foreground -s KILL 30 \
    "$BIN" --batch "$WORK/held.txt" --out-dir "$WORK/held" --jobs 2 2>"$WORK/held.err" &
job=$!
for _ in $(seq 600); do
    [ "$(grep -c '^line ' "$WORK/held.err")" -ge 3 ] && break
    sleep 0.05
done
kill -INT "$job"
wait "$job"
status=$?
timeout --foreground -s KILL 30 "$BIN" --batch - --out-dir "$WORK/stalled" \
    <"$WORK/input.fifo" 2>"$WORK/stalled.err" &
job=$!
exec 7>"$WORK/input.fifo"
printf 'AB\n' >&7
for _ in $(seq 600); do
    [ -e "$WORK/stalled/00001.png" ] && break
    sleep 0.05
done
sleep 0.3 # the reading thread waits for line 2 by now, and the others for it
kill -INT "$job"
wait "$job"
stalled=$?
exec 7>&-
set +m
[ "$status" -eq 130 ] || fail "line held up: exit status $status, expected 130: $(cat "$WORK/held.err")"
[ "$(grep '^quillion-render: interrupted' "$WORK/held.err")" = \
    "quillion-render: interrupted after line 0; lines still in progress were left unfinished" ] ||
    fail "line held up: $(cat "$WORK/held.err")"
[ "$(tail -n 1 "$WORK/held.err")" = "0 written, 3 failed" ] || fail "line held up: summary"
[ -z "$(ls -A "$WORK/held")" ] || fail "line held up: left $(ls -A "$WORK/held")"
[ "$stalled" -eq 130 ] || fail "input held up: exit status $stalled: $(cat "$WORK/stalled.err")"
[ "$(head -n 1 "$WORK/stalled.err")" = "quillion-render: interrupted after line 1" ] ||
    fail "input held up: $(cat "$WORK/stalled.err")"
[ "$(decode "$WORK/stalled/00001.png")" = AB ] || fail "input held up: line 1 not whole"
"$BIN" --output "$WORK/good.png" "After the stops" || fail "good render failed"
[ "$(decode "$WORK/good.png")" = "After the stops" ] || fail "good render does not read back"

finish "quillion-render batch stop"
