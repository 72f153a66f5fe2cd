#!/usr/bin/env bash
# quillion-render's formats and conventions: SVG for every type (xmllint-valid, drawn by librsvg
# it scans, or for UPC-E shows the PNG's pixels), --scale by exact pixel replication in every
# format, the resolution PNG and JPEG carry, -o - (the file's bytes and nothing else on standard
# output; closed, full or vanished standard output is status 1), short options, --version, and
# the usage errors of the new options.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
need_tools rsvg-convert xmllint

# svg ROW TYPE TEXT EXPECTED-READ: the SVG is valid XML of the PNG's size, and rasterised by
# librsvg it reads back (or, without a reading, has the PNG's pixels outside the digits).
svg() {
    local row=$1 type=$2 text=$3 want=$4
    "$BIN" -t "$type" -o "$WORK/s.svg" -- "$text" 2>"$WORK/err" || { fail "row $row: $(cat "$WORK/err")"; return; }
    "$BIN" -t "$type" -o "$WORK/s.png" -- "$text" || { fail "row $row: no PNG"; return; }
    xmllint --noout "$WORK/s.svg" 2>"$WORK/xml" || fail "row $row: not well-formed: $(cat "$WORK/xml")"
    rsvg-convert "$WORK/s.svg" -o "$WORK/r.png" 2>/dev/null || { fail "row $row: rsvg-convert failed"; return; }
    [ "$(identify -format '%wx%h' "$WORK/r.png")" = "$(identify -format '%wx%h' "$WORK/s.png")" ] ||
        fail "row $row: SVG drawn at $(identify -format '%wx%h' "$WORK/r.png")"
    if [ -n "$want" ]; then
        [ "$(decode "$WORK/r.png")" = "$want" ] || fail "row $row: the drawn SVG reads [$(decode "$WORK/r.png")]"
    else
        # The bars (rows above the digits) are pixel for pixel the PNG's.
        local h=$(($(identify -format '%h' "$WORK/s.png") - 12))
        local w=$(identify -format '%w' "$WORK/s.png")
        [ "$(compare -metric AE "$WORK/s.png[${w}x$h+0+0]" "$WORK/r.png[${w}x$h+0+0]" null: 2>&1)" = 0 ] ||
            fail "row $row: the drawn SVG's bars differ from the PNG's"
    fi
}
svg 1 code128 "AB" "AB"
svg 2 code128 "Coca Cola & <1>" "Coca Cola & <1>"
svg 3 code39 "HELLO-39" "HELLO-39"
svg 4 upca "036000291452" "0036000291452"
svg 5 upce "123456" ""
svg 6 UPC-A "123456789012" "0123456789012"
# The caption is text in the painted family and style, at the painted place.
"$BIN" --style bolditalic --position top -o "$WORK/t.svg" "Ab 1" || fail "styled SVG"
grep -q "<text xml:space=\"preserve\" y=\"[0-9]*\" font-family=\"'Liberation Mono', 'Courier New'\" font-size=\"13\" font-weight=\"bold\" font-style=\"italic\" fill=\"#000000\"><tspan x=\"[0-9]*\">A</tspan><tspan x=\"[0-9]*\">b</tspan><tspan x=\"[0-9]*\"> </tspan><tspan x=\"[0-9]*\">1</tspan></text>" \
    "$WORK/t.svg" || fail "caption text element: $(grep '<text' "$WORK/t.svg")"
"$BIN" --style underline -o "$WORK/u.svg" "AB" && grep -q 'text-decoration="underline"' "$WORK/u.svg" ||
    fail "underlined caption has no text decoration"

# --scale N: every pixel becomes N x N, in PNG (exactly), JPEG (the size) and SVG (the size).
for n in 1 3 20; do
    "$BIN" --scale "$n" -o "$WORK/s$n.png" AB || fail "scale $n PNG"
    convert "$WORK/s1.png" -scale "$((n * 100))%" "$WORK/ref$n.png"
    [ "$(compare -metric AE "$WORK/s$n.png" "$WORK/ref$n.png" null: 2>&1)" = 0 ] ||
        fail "scale $n PNG is not the 1x picture replicated"
    # pHYs: 96 dpi times the scale, in whole pixels per metre (3780 at 1x).
    [ "$(identify -format '%x %U' "$WORK/s$n.png" | awk '{ printf "%.2f %s", $1, $2 }')" = \
        "$(awk -v n="$n" 'BEGIN { printf "%.2f PixelsPerCentimeter", int(9600 * n / 2.54 + 0.5) / 100 }')" ] ||
        fail "scale $n PNG resolution: $(identify -format '%x %U' "$WORK/s$n.png")"
    "$BIN" --scale "$n" -o "$WORK/s$n.jpg" AB || fail "scale $n JPEG"
    [ "$(identify -format '%wx%h %x %U' "$WORK/s$n.jpg")" = "$((57 * n))x$((61 * n)) $((96 * n)) PixelsPerInch" ] ||
        fail "scale $n JPEG: $(identify -format '%wx%h %x %U' "$WORK/s$n.jpg")"
    "$BIN" --scale "$n" -t code39 -o "$WORK/s$n.svg" ABC || fail "scale $n SVG"
    rsvg-convert "$WORK/s$n.svg" -o "$WORK/sr$n.png" 2>/dev/null
    "$BIN" --scale "$n" -t code39 -o "$WORK/c$n.png" ABC
    [ "$(identify -format '%wx%h' "$WORK/sr$n.png")" = "$(identify -format '%wx%h' "$WORK/c$n.png")" ] ||
        fail "scale $n SVG drawn at $(identify -format '%wx%h' "$WORK/sr$n.png")"
done

# -o -: the same bytes as the file, and nothing else on standard output.
for f in png jpg svg; do
    "$BIN" --format "$f" -o - AB >"$WORK/out.$f" 2>"$WORK/err" || fail "-o - $f: $(cat "$WORK/err")"
    "$BIN" -o "$WORK/file.$f" AB
    cmp -s "$WORK/out.$f" "$WORK/file.$f" || fail "-o - $f differs from the file"
done
"$BIN" -o - -t code39 AB | cmp -s - <("$BIN" --format=png -o - --type=code39 AB) || fail "-o - is not PNG by default"
# Closed, full and vanished standard output: status 1 and a message.
"$BIN" -o - AB >&- 2>"$WORK/err"; [ $? -eq 1 ] && grep -q "standard output" "$WORK/err" ||
    fail "closed standard output: $(cat "$WORK/err")"
if [ "$(id -u)" -eq 0 ] && mknod "$WORK/full" c 1 7 2>/dev/null; then
    "$BIN" -o - AB >"$WORK/full" 2>"$WORK/err"; [ $? -eq 1 ] && grep -q "No space left" "$WORK/err" ||
        fail "full standard output: $(cat "$WORK/err")"
fi
"$BIN" --scale 20 -o - "$(printf 'A%.0s' $(seq 40))" 2>"$WORK/err" | true
[ "${PIPESTATUS[0]}" -eq 1 ] && grep -q "Broken pipe" "$WORK/err" || fail "vanished reader: status ${PIPESTATUS[0]} $(cat "$WORK/err")"

# Conventions: rows of arguments, exit status, what stdout and stderr hold.
# conv ROW STATUS STDOUT-PATTERN STDERR-PATTERN ARGS...
conv() {
    local row=$1 want=$2 out=$3 err=$4
    shift 4
    rm -f "$WORK/c.png"
    "$BIN" "$@" >"$WORK/o" 2>"$WORK/e"
    local got=$?
    [ "$got" -eq "$want" ] || fail "row $row: status $got, expected $want ($(head -c 300 "$WORK/e"))"
    [ -z "$out" ] || grep -qE -- "$out" "$WORK/o" || fail "row $row: stdout lacks [$out]: $(head -c 200 "$WORK/o")"
    [ -n "$out" ] || [ ! -s "$WORK/o" ] || fail "row $row: stdout not empty"
    [ -z "$err" ] || grep -qF -- "$err" "$WORK/e" || fail "row $row: stderr lacks [$err]: $(cat "$WORK/e")"
    if [ "$want" -eq 2 ]; then
        grep -q '^usage: quillion-render' "$WORK/e" || fail "row $row: no usage on stderr"
        [ ! -e "$WORK/c.png" ] || fail "row $row: wrote a file"
    fi
}
C=(-o "$WORK/c.png")
conv 1 0 '^quillion-render [0-9]+\.[0-9]+\.[0-9]+$' "" --version
conv 2 0 '^quillion-render [0-9]' "" -V
conv 3 0 '^usage: quillion-render' "" -h
conv 4 0 "" "" -t UPCA "${C[@]}" 036000291452
conv 5 0 "" "" --type=upc-e "${C[@]}" 123456
conv 6 0 "" "" -tCode39 -o"$WORK/c.png" ABC
conv 7 0 "" "" --style=BOLD --position=Top "${C[@]}" -- -AB
conv 8 0 "" "" "${C[@]}" --format JPEG AB
conv 9 2 "" 'unknown type "pdf417"' -t pdf417 "${C[@]}" AB
conv 10 2 "" "--scale takes a whole number from 1 to 20" --scale 0 "${C[@]}" AB
conv 11 2 "" "--scale takes a whole number from 1 to 20" --scale 21 "${C[@]}" AB
conv 12 2 "" "--scale takes a whole number from 1 to 20" --scale=2x "${C[@]}" AB
conv 13 2 "" 'unknown naming rule "number"' --batch "$WORK/l" --out-dir "$WORK/d" --names number
conv 14 2 "" 'does not end in .png, .jpg, .jpeg or .svg' -o "$WORK/c.gif" AB
conv 15 2 "" 'does not end in .png' -o "$WORK/c" AB
conv 16 2 "" "unknown option -x" -x "${C[@]}" AB
conv 17 2 "" "unknown option --colour" --colour=red "${C[@]}" AB
conv 18 2 "" "--caption takes no value" --caption=yes "${C[@]}" AB
conv 19 2 "" "--output needs a value" AB -o
conv 20 2 "" "--scale needs a value" "${C[@]}" AB --scale
conv 21 2 "" 'unknown format "gif"' --format gif "${C[@]}" AB
conv 22 2 "" "the output file name is empty" --output= AB
[ ! -e "$WORK/c.gif" ] && [ ! -e "$WORK/c" ] || fail "a refused name was written"

# Batch: --names text (safe names, clashes numbered in input order, the same names on a
# re-run), --format svg and --scale for every file, the summary line last on standard error.
printf 'AB\nAB\nx/y z\n\n.dot\nAB\n\xff\n' >"$WORK/names.txt"
for run in 1 2; do
    rm -rf "$WORK/bt"
    "$BIN" --batch "$WORK/names.txt" --out-dir "$WORK/bt" --names text --format svg --scale 2 \
        --jobs 3 2>"$WORK/berr"
    [ $? -eq 1 ] || fail "run $run: a batch with a bad line did not end with status 1"
    [ "$(ls "$WORK/bt" | tr '\n' ' ')" = "AB-2.svg AB-3.svg AB.svg _dot.svg x_y_z.svg " ] ||
        fail "run $run: names $(ls "$WORK/bt" | tr '\n' ' ')"
    [ "$(tail -n 1 "$WORK/berr")" = "5 written, 1 failed" ] || fail "run $run: summary $(tail -n 1 "$WORK/berr")"
    grep -q '^line 7: ' "$WORK/berr" || fail "run $run: the bad line is not reported"
done
"$BIN" --scale 2 --format svg -o "$WORK/single.svg" "x/y z"
cmp -s "$WORK/single.svg" "$WORK/bt/x_y_z.svg" || fail "batch SVG differs from the single one"
rsvg-convert "$WORK/bt/AB-3.svg" -o "$WORK/bt.png" 2>/dev/null
[ "$(identify -format '%wx%h' "$WORK/bt.png")" = 114x122 ] && [ "$(decode "$WORK/bt.png")" = AB ] ||
    fail "batch SVG at scale 2: $(identify -format '%wx%h' "$WORK/bt.png") [$(decode "$WORK/bt.png")]"
printf 'AB\n' | "$BIN" --batch - --out-dir "$WORK/b3" --scale 3 --format jpg 2>"$WORK/berr" &&
    [ "$(identify -format '%wx%h %x' "$WORK/b3/00001.jpg")" = "171x183 288" ] &&
    [ "$(cat "$WORK/berr")" = "1 written, 0 failed" ] ||
    fail "batch JPEG at scale 3: $(identify -format '%wx%h %x' "$WORK/b3/00001.jpg") $(cat "$WORK/berr")"
finish "quillion-render formats and conventions"
