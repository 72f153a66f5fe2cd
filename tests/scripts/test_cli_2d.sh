#!/usr/bin/env bash
# QR Code and Data Matrix through quillion-render, read by readers other than the one --verify
# uses: zbarimg for QR Code, libdmtx's dmtxread for Data Matrix; a batch of both with --verify;
# SVG drawn as one path, and a Code 39 SVG on a transparent background that still scans.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
need_tools zbarimg dmtxread convert rsvg-convert

# qr_reads ROW TEXT OPTION...: the PNG reads back as TEXT in zbarimg.
qr_reads() {
    local row=$1 text=$2
    shift 2
    "$BIN" -t qr "$@" -o "$WORK/q.png" -- "$text" 2>"$WORK/err" || {
        fail "qr row $row: $(cat "$WORK/err")"
        return
    }
    local got
    got=$(zbarimg --quiet --raw "$WORK/q.png" 2>/dev/null)
    [ "$got" = "$text" ] || fail "qr row $row: zbarimg read [$got], want [$text]"
}
qr_reads 1 "https://quillion.example/items/42?batch=7"
qr_reads 2 "0123456789012345678901234567890" --ecc H --module-width 2
qr_reads 3 "HELLO WORLD" --qr-version 5 --mask 3
qr_reads 4 "Grüße aus Köln" --ecc L

# dm_reads ROW TEXT OPTION...: dmtxread reads TEXT.
dm_reads() {
    local row=$1 text=$2
    shift 2
    "$BIN" -t datamatrix --module-width 4 "$@" -o "$WORK/d.png" -- "$text" 2>"$WORK/err" || {
        fail "dm row $row: $(cat "$WORK/err")"
        return
    }
    local got
    got=$(timeout 60 dmtxread -N1 "$WORK/d.png" 2>/dev/null)
    [ "$got" = "$text" ] || fail "dm row $row: dmtxread read [$got], want [$text]"
}
dm_reads 1 "Quillion Data Matrix 2027"
dm_reads 2 "0123456789012345678901234567890123456789"
dm_reads 3 "ABCDEF" --dm-size 16x48
dm_reads 4 "lower case text, some punctuation!" --square

# Too much, a bad size, a bad GS1 string: clear errors, no file.
expect_run 1 "too long for QR Code at level H" "qr too long" \
    "$BIN" -t qr --ecc H -o "$WORK/x.png" -- "$(head -c 3000 /dev/zero | tr '\0' 7)0$(head -c 3000 /dev/zero | tr '\0' 7)"
expect_run 1 "QR Code version 1" "qr forced version" "$BIN" -t qr --qr-version 1 -o "$WORK/x.png" -- \
    "this text does not fit version one at level M"
expect_run 1 "" "dm impossible size" "$BIN" -t datamatrix --dm-size 11x11 -o "$WORK/x.png" -- AB
expect_run 1 "GS1 element (01)" "gs1 dm bad check" "$BIN" -t gs1-datamatrix -o "$WORK/x.png" -- \
    "(01)09501101530004"
expect_run 2 "is not for qr" "--dm-size on qr" "$BIN" -t qr --dm-size 10x10 -o "$WORK/x.png" AB
[ ! -e "$WORK/x.png" ] || fail "a refused symbol left a file"

# A batch of both 2D types' GS1 forms, read back before writing.
printf '%s\n' '(01)09501101530003(10)AB-123' 'https://id.gs1.org/01/09501101530003/21/XYZ' \
    >"$WORK/gs1.txt"
for t in gs1-qr gs1-datamatrix; do
    "$BIN" -t "$t" --batch "$WORK/gs1.txt" --out-dir "$WORK/out-$t" --verify 2>"$WORK/err" ||
        fail "batch $t: $(cat "$WORK/err")"
    [ "$(ls "$WORK/out-$t" | wc -l)" = 2 ] || fail "batch $t: $(ls "$WORK/out-$t")"
done

# SVG: the dark modules as one path; it reads back once drawn.
"$BIN" -t qr -o "$WORK/q.svg" -- "SVG as a path" || fail "qr svg"
[ "$(grep -c '<path' "$WORK/q.svg")" = 1 ] && [ "$(grep -c '<rect' "$WORK/q.svg")" = 1 ] ||
    fail "the QR Code SVG is not one path"
rsvg-convert -w 400 "$WORK/q.svg" -o "$WORK/q-svg.png" &&
    [ "$(zbarimg --quiet --raw "$WORK/q-svg.png" 2>/dev/null)" = "SVG as a path" ] ||
    fail "the QR Code SVG does not read back"
# Code 39 on a transparent background: nothing relies on painting over the bars.
"$BIN" -t code39 --check-digit --bg transparent --module-width 2 -o "$WORK/c.svg" -- CODE39 ||
    fail "code39 svg"
rsvg-convert -w 600 -b white "$WORK/c.svg" -o "$WORK/c-svg.png" &&
    [ "$(decode "$WORK/c-svg.png")" = "CODE39W" ] || fail "the transparent Code 39 SVG reads [$(decode "$WORK/c-svg.png")]"
finish "2D symbols"
