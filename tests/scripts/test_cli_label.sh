#!/usr/bin/env bash
# Labels as a user makes them: the 300-dpi Code 128 label at most 40 mm wide, read back by
# zbarimg without added white; every label option together in a batch, in PNG, JPEG and SVG,
# each file read back (SVG drawn by rsvg-convert at its resolution); an SVG's size in
# millimetres is its PNG twin's pixels at the dpi.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"
need_tools zbarimg identify rsvg-convert
export XDG_CACHE_HOME=$WORK/cache

read_raw() { zbarimg --quiet --raw "$1" 2>/dev/null; }

"$BIN" --dpi 300 --fit-width 40mm --quiet-zones -o "$WORK/a.png" ABC-12345 2>"$WORK/err" ||
    fail "40 mm label: $(cat "$WORK/err")"
width=$(identify -format '%w' "$WORK/a.png")
[ "$width" -le 472 ] || fail "40 mm label is $width pixels wide"
[ "$(read_raw "$WORK/a.png")" = ABC-12345 ] || fail "40 mm label does not read back"

printf 'ABC-1\nLabel 2\n' >"$WORK/lines"
options="--quiet-zones --dpi 300 --module-width 0.33mm --height 8mm --margin 1mm --rotate 90
    --fg 003366 --bg ffff00 --scale 2"
for format in png jpg svg; do
    # shellcheck disable=SC2086 # options are words
    "$BIN" $options --format "$format" --batch "$WORK/lines" --out-dir "$WORK/$format" \
        2>"$WORK/err" || fail "batch $format: $(cat "$WORK/err")"
    line=0
    for text in ABC-1 "Label 2"; do
        line=$((line + 1))
        file=$WORK/$format/0000$line.$format
        if [ "$format" = svg ]; then
            rsvg-convert --dpi-x 600 --dpi-y 600 "$file" -o "$WORK/svg.png" ||
                fail "rsvg-convert cannot draw $file"
            file=$WORK/svg.png
        fi
        [ "$(read_raw "$file")" = "$text" ] || fail "batch $format line $line does not read back"
    done
done
# 300 dpi at scale 2: 600 pixels to the inch.
density=$(identify -units PixelsPerInch -format '%x' "$WORK/jpg/00001.jpg")
[ "${density%%.*}" = 600 ] || fail "JPEG density $density, expected 600"

"$BIN" --dpi 300 --module-width 4 --quiet-zones -o "$WORK/s.png" ABC-12345 &&
    "$BIN" --dpi 300 --module-width 4 --quiet-zones -o "$WORK/s.svg" ABC-12345 ||
    fail "SVG twin: exit status $?"
read -r w h < <(identify -format '%w %h\n' "$WORK/s.png")
want=$(awk -v w="$w" -v h="$h" 'BEGIN { printf "width=\"%.4fmm\" height=\"%.4fmm\"", w * 25.4 / 300, h * 25.4 / 300 }')
grep -q "$want viewBox=\"0 0 $w $h\"" "$WORK/s.svg" || fail "SVG size: $(grep -o 'width="[^"]*" height="[^"]*"' "$WORK/s.svg" | head -1), expected $want"
# The scale adds pixels, not millimetres.
"$BIN" --dpi 300 --module-width 4 --quiet-zones --scale 3 -o "$WORK/s3.svg" ABC-12345 &&
    grep -q "$want viewBox=\"0 0 $w $h\"" "$WORK/s3.svg" || fail "SVG at scale 3 changes its size"
rsvg-convert --dpi-x 300 --dpi-y 300 "$WORK/s.svg" -o "$WORK/s2.png" && [ "$(read_raw "$WORK/s2.png")" = ABC-12345 ] ||
    fail "SVG at 300 dpi does not read back"

finish test_cli_label
