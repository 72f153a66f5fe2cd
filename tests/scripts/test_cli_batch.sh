#!/usr/bin/env bash
# quillion-render --batch: one file per line named by line number, every file read back by
# zbarimg to its line's text, failing lines reported with their number while the rest is still
# written, the same pixels as one barcode at a time whatever the number of threads.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"

# check_batch TYPE INPUT OUT ERR: every non-empty line either has a file that reads back to the
# line (upper-cased for Code 39) or is reported in ERR with its number and has no file.
# EXPECT_FAILED holds the numbers of the lines that must fail.
check_batch() {
    local type=$1 input=$2 out=$3 err=$4
    local n=0 line
    while IFS= read -r line || [ -n "$line" ]; do
        n=$((n + 1))
        line=${line%$'\r'}
        [ -n "$line" ] || continue
        local file
        file=$out/$(printf '%05d' "$n").png
        if [[ " $EXPECT_FAILED " == *" $n "* ]]; then
            grep -q "^line $n: " "$err" || fail "$type line $n: not reported"
            [ ! -e "$file" ] || fail "$type line $n: failed but wrote $file"
            continue
        fi
        if [ ! -s "$file" ]; then
            fail "$type line $n: no file $file"
            continue
        fi
        local want=$line
        [ "$type" != code39 ] || want=${line^^}
        local read
        read=$(decode "$file")
        [ "$read" = "$want" ] || fail "$type line $n: zbarimg read [$read], expected [$want]"
    done <"$input"
    local reported
    reported=$(grep -c '^line ' "$err")
    [ "$reported" -eq "$(wc -w <<<"$EXPECT_FAILED")" ] ||
        fail "$type: $reported lines reported, expected $(wc -w <<<"$EXPECT_FAILED"): $(cat "$err")"
}

# Code 128: printable ASCII of many lengths, CR LF line ends, empty lines, and bad lines in the
# middle: a character outside the symbology (5), invalid UTF-8 (9), a text too long for the
# engine's arithmetic (12).
{
    printf 'AB\r\n'
    printf 'Coca Cola 12pk $6.99\n'
    printf '\n'
    printf '%s\n' '!"#$%&()*+,./:;<=>?@'
    printf 'caf\xe2\x82\xac\n'
    printf '[\\]^_`{|}~ 0123456789\n'
    printf '\r\n'
    printf 'Hello, World!\n'
    printf 'A\xffB\n'
    printf -- '-5\n'
    printf '   spaces   \n'
    printf 'Z%.0s' $(seq 5000)
    printf '\n'
    printf 'x\n'
    printf 'last line without an end'
} >"$WORK/c128.txt"
"$BIN" --batch "$WORK/c128.txt" --out-dir "$WORK/c128" 2>"$WORK/c128.err"
status=$?
[ "$status" -eq 1 ] || fail "Code 128 batch with bad lines: exit status $status, expected 1"
EXPECT_FAILED="5 9 12" check_batch code128 "$WORK/c128.txt" "$WORK/c128" "$WORK/c128.err"
grep -qx 'line 5: Error(54548):Illegal character for this symbology specified.' "$WORK/c128.err" ||
    fail "line 5's message: $(cat "$WORK/c128.err")"
grep -q '^line 9: the line is not valid UTF-8' "$WORK/c128.err" || fail "line 9's message"
grep -q '^line 12: too long for Code 128' "$WORK/c128.err" || fail "line 12's message"
[ "$(find "$WORK/c128" -type f | wc -l)" -eq 9 ] || fail "Code 128 batch: $(ls "$WORK/c128")"
# No progress line when standard error is not a terminal.
! grep -q ' of .* lines' "$WORK/c128.err" || fail "progress written to a file"

# Code 39, from standard input, into a folder that does not exist yet.
printf 'CODE39\nlower case\n\nA*B\n-. $/+%%\n123\n' >"$WORK/c39.txt"
"$BIN" --type code39 --batch - --out-dir "$WORK/new/c39" <"$WORK/c39.txt" 2>"$WORK/c39.err"
[ $? -eq 1 ] || fail "Code 39 batch with a bad line: exit status not 1"
EXPECT_FAILED="4" check_batch code39 "$WORK/c39.txt" "$WORK/new/c39" "$WORK/c39.err"
grep -qF 'line 4: Barcode must use only 0-9, A-Z, space and - . $ / + %' "$WORK/c39.err" ||
    fail "Code 39 line 4's message: $(cat "$WORK/c39.err")"

# A clean batch exits 0; UPC-A and UPC-E too. Every file equals the one barcode at a time
# rendering of its line, with one thread or three.
printf '036000291452\n123456789012\n' >"$WORK/upca.txt"
printf '123456\n000000\n' >"$WORK/upce.txt"
printf 'AB\nCoca Cola 12pk $6.99\n~~~~\nW\n' >"$WORK/same.txt"
for spec in code128:same upca:upca upce:upce code39:c39; do
    type=${spec%%:*} input=$WORK/${spec#*:}.txt
    for jobs in 1 3; do
        out=$WORK/same-$type-$jobs
        "$BIN" --type "$type" --batch "$input" --out-dir "$out" --jobs "$jobs" 2>/dev/null
        n=0
        while IFS= read -r line; do
            n=$((n + 1))
            [ -n "$line" ] || continue
            "$BIN" --type "$type" --output "$WORK/one.png" -- "$line" 2>/dev/null || continue
            cmp -s "$WORK/one.png" "$out/$(printf '%05d' "$n").png" ||
                fail "$type --jobs $jobs line $n differs from the single rendering"
        done <"$input"
    done
done
"$BIN" --type upca --batch "$WORK/upca.txt" --out-dir "$WORK/upca" || fail "clean UPC-A batch failed"
[ "$(decode "$WORK/upca/00002.png")" = "0123456789012" ] || fail "UPC-A batch line 2"

# JPEG files: quality 80, readable.
"$BIN" --batch "$WORK/same.txt" --out-dir "$WORK/jpg" --format jpg || fail "JPEG batch failed"
[ "$(identify -format '%m %Q' "$WORK/jpg/00002.jpg")" = "JPEG 80" ] || fail "JPEG batch format"
[ "$(decode "$WORK/jpg/00002.jpg")" = 'Coca Cola 12pk $6.99' ] || fail "JPEG batch read-back"

# Names get a sixth digit when the input has 100000 lines or more, the last line counted with
# or without its newline.
for end in '\n' ''; do
    {
        printf 'CD\n'
        printf '\n%.0s' $(seq 99998)
        printf "AB$end"
    } >"$WORK/wide.txt"
    rm -rf "$WORK/wide"
    "$BIN" --batch "$WORK/wide.txt" --out-dir "$WORK/wide" || fail "wide batch failed"
    [ "$(ls "$WORK/wide" | tr '\n' ' ')" = "000001.png 100000.png " ] ||
        fail "wide names (last line ending [$end]): $(ls "$WORK/wide" | tr '\n' ' ')"
done

# A file that cannot be written (a folder stands in its way) fails that line only.
mkdir -p "$WORK/blocked/00002.png"
printf 'AB\nCD\nEF\n' >"$WORK/three.txt"
"$BIN" --batch "$WORK/three.txt" --out-dir "$WORK/blocked" 2>"$WORK/blocked.err"
[ $? -eq 1 ] || fail "blocked file: exit status not 1"
grep -q '^line 2: cannot write .*00002.png' "$WORK/blocked.err" || fail "blocked: $(cat "$WORK/blocked.err")"
[ "$(decode "$WORK/blocked/00003.png")" = "EF" ] || fail "blocked: line 3 not written"

# The output folder cannot be made: status 1, a message, nothing else.
touch "$WORK/afile"
"$BIN" --batch "$WORK/three.txt" --out-dir "$WORK/afile" 2>"$WORK/err"
[ $? -eq 1 ] && grep -q "cannot create the folder" "$WORK/err" || fail "out-dir over a file: $(cat "$WORK/err")"
"$BIN" --batch "$WORK/missing.txt" --out-dir "$WORK/m" 2>"$WORK/err"
[ $? -eq 1 ] && grep -q "cannot read $WORK/missing.txt: No such file" "$WORK/err" || fail "missing input: $(cat "$WORK/err")"

# A full disk: the lines that do not fit are reported, and no empty or partial file is left.
mkdir -p "$WORK/full"
if mount -t tmpfs -o size=16k tmpfs "$WORK/full" 2>/dev/null; then
    trap 'umount -l "$WORK/full" 2>/dev/null; rm -rf "$WORK"' EXIT
    for i in $(seq 1 12); do printf 'Barcode number %d\n' "$i"; done >"$WORK/many.txt"
    "$BIN" --batch "$WORK/many.txt" --out-dir "$WORK/full" 2>"$WORK/full.err"
    [ $? -eq 1 ] || fail "full disk: exit status not 1"
    grep -q 'No space left on device' "$WORK/full.err" || fail "full disk: $(cat "$WORK/full.err")"
    written=0
    for f in "$WORK"/full/*.png; do
        [ -e "$f" ] || continue
        written=$((written + 1))
        n=$((10#$(basename "$f" .png)))
        [ "$(decode "$f")" = "Barcode number $n" ] || fail "full disk: $f is not whole"
    done
    [ $((written + $(grep -c '^line ' "$WORK/full.err"))) -eq 12 ] ||
        fail "full disk: $written files and $(grep -c '^line ' "$WORK/full.err") reports for 12 lines"
    umount -l "$WORK/full"
fi

# On a terminal, a progress line; the report of failed lines still follows.
if command -v script >/dev/null; then
    printf 'AB\ncaf€\n' >"$WORK/tty.txt"
    script -qec "'$BIN' --batch '$WORK/tty.txt' --out-dir '$WORK/tty'" /dev/null >"$WORK/tty.log" 2>&1
    grep -q 'quillion-render: 2 of 2 lines' "$WORK/tty.log" || fail "no progress line on a terminal: $(cat "$WORK/tty.log")"
    grep -q 'line 2: Error(54548)' "$WORK/tty.log" || fail "terminal: line 2 not reported"
fi

finish "quillion-render batch"
