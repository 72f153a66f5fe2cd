#!/usr/bin/env bash
# quillion-render for every symbology: what it writes reads back (zbarimg) to the text, JPEG is
# the quality-80 JFIF of "Save As JPG", the window's messages come with exit status 1 and no
# file, bad option combinations get status 2.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"

# renders ROW TYPE TEXT EXPECTED-READ SIZE FILE-ENDING: renders, checks size and read-back.
renders() {
    local row=$1 type=$2 text=$3 want=$4 size=$5 ending=$6
    local out="$WORK/out.$ending"
    rm -f "$out"
    if ! "$BIN" --type "$type" --output "$out" -- "$text" 2>"$WORK/err"; then
        fail "row $row: exit status $? ($(cat "$WORK/err"))"
        return
    fi
    [ -z "$size" ] || [ "$(identify -format '%wx%h' "$out")" = "$size" ] ||
        fail "row $row: size $(identify -format '%wx%h' "$out"), expected $size"
    [ -z "$want" ] || [ "$(decode "$out")" = "$want" ] ||
        fail "row $row: zbarimg read [$(decode "$out")], expected [$want]"
}

renders 1 code128 "AB" "AB" 57x61 png
renders 2 code128 "Coca Cola 12pk \$6.99" "Coca Cola 12pk \$6.99" "" jpg
renders 3 code39 "HELLO-39" "HELLO-39" "" png
renders 4 code39 "lower case 7" "LOWER CASE 7" "" png # upper-cased, as the window does
renders 5 code39 '-. $/+%' '-. $/+%' "" png
renders 6 code39 "ABC" "ABC" "" jpeg
# zbar reads UPC-A in its EAN-13 form, with a leading 0.
renders 7 upca "036000291452" "0036000291452" 200x109 png
renders 8 upca "123456789012" "0123456789012" 200x109 jpg
# zbar gives a UPC-E as the UPC-A it stands for, in its EAN-13 form: 123456 is 01234500006 with
# check digit 5.
renders 9 upce "123456" "0012345000065" 124x109 png

# The PNG of a barcode is 1-bit greyscale; the JPEG is a JFIF of quality 80.
"$BIN" --output "$WORK/a.png" AB && [ "$(identify -format '%[bit-depth] %[colorspace]' "$WORK/a.png")" = "1 Gray" ] ||
    fail "Code 128 PNG is not 1-bit greyscale: $(identify -format '%[bit-depth] %[colorspace]' "$WORK/a.png")"
"$BIN" --output "$WORK/a.JPG" AB && [ "$(identify -format '%m %Q' "$WORK/a.JPG")" = "JPEG 80" ] ||
    fail "JPEG: $(identify -format '%m %Q' "$WORK/a.JPG")"
# Other endings take their format from --format.
"$BIN" --format png --output "$WORK/a.img" AB && [ "$(identify -format '%m' "$WORK/a.img")" = "PNG" ] ||
    fail "a name without a known ending did not get PNG with --format png"

# expect ROW STATUS MESSAGE ARGS...: status, a part of standard error, no file written.
expect() {
    local row=$1 want=$2 message=$3
    shift 3
    rm -f "$WORK/bad.png"
    "$BIN" "$@" >/dev/null 2>"$WORK/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "row $row: exit status $got, expected $want"
    grep -qF -- "$message" "$WORK/err" || fail "row $row: stderr lacks [$message]: $(cat "$WORK/err")"
    [ ! -e "$WORK/bad.png" ] || fail "row $row: wrote a file"
}
O=(--output "$WORK/bad.png")
expect 1 1 "Barcode me be 12 digit" --type upca "${O[@]}" 12345
expect 2 1 "Barcode me be 12 digit" --type upca "${O[@]}" 0123456789012
expect 3 1 "Barcode must be all numeric" --type upca "${O[@]}" 12a456789012
expect 4 1 "Barcode must be all numeric" --type upca "${O[@]}" -- -23456789012
expect 5 1 "Barcode must be all numeric" --type upca "${O[@]}" "1.3456789012"
expect 6 1 "Barcode must be all numeric" --type upce "${O[@]}" " 12345"
expect 7 1 "Barcode must be all numeric" --type upce "${O[@]}" "１２３４５６" # fullwidth digits
expect 8 1 "Barcode me be 6 digit" --type upce "${O[@]}" 1234567
expect 9 1 "Barcode must be all numeric" --type upca "${O[@]}" ""
expect 10 1 'Barcode must use only 0-9, A-Z, space and - . $ / + %' --type code39 "${O[@]}" "A*B"
expect 11 1 'Barcode must use only 0-9, A-Z, space and - . $ / + %' --type code39 "${O[@]}" "café"
expect 12 1 "Error(54548):Illegal character for this symbology specified." "${O[@]}" "caf€"
expect 13 1 "nothing was painted" "${O[@]}" ""
expect 13b 1 "nothing was painted" --type code39 "${O[@]}" "" # only a cleared picture
expect 14 1 "too long for Code 128: 5,000 characters, at most 992" "${O[@]}" "$(printf 'A%.0s' $(seq 5000))"
expect 15 1 "not valid UTF-8" "${O[@]}" "$(printf 'A\xffB')"
expect 16 1 "not valid UTF-8" "${O[@]}" "$(printf '\xed\xa0\x80')" # an encoded surrogate
expect 17 1 "cannot write" --output "$WORK/no/such/folder/x.png" AB
expect 18 1 "cannot write" --output "$WORK/no/such/folder/x.jpg" AB
expect 19 2 "unknown type" --type qr-code-128 "${O[@]}" AB
expect 20 2 "is for batch mode" --names text "${O[@]}" AB
expect 21 2 "is for batch mode" --out-dir "$WORK" "${O[@]}" AB
expect 22 2 "needs --out-dir" --batch "$WORK/list"
expect 23 2 "not from the command line" --batch "$WORK/list" --out-dir "$WORK/o" AB
expect 24 2 "--output is for one barcode" --batch "$WORK/list" --out-dir "$WORK/o" "${O[@]}"
expect 25 2 "--jobs takes a number" --batch "$WORK/list" --out-dir "$WORK/o" --jobs 0
expect 26 2 "unknown format" --batch "$WORK/list" --out-dir "$WORK/o" --format gif
expect 27 1 "Barcode check digit must be 5" --type upca "${O[@]}" 012345678901
expect 28 1 "Barcode check digit must be 2" --type upca "${O[@]}" 123456789010

expect 29 2 "--verify takes no value" --verify=yes "${O[@]}" AB

# --verify: symbols of every kind, DLE in several places, PNG and JPEG (the lossless picture is
# read), read back before they are written; then read again here by zbarimg.
row=0
while IFS='|' read -r type text ending want; do
    row=$((row + 1))
    text=$(printf '%b' "$text")
    rm -f "$WORK/v.$ending"
    "$BIN" --verify --type "$type" --output "$WORK/v.$ending" -- "$text" 2>"$WORK/err" ||
        fail "--verify row $row: exit status $? ($(cat "$WORK/err"))"
    [ "$(decode "$WORK/v.$ending")" = "$(printf '%b' "$want")" ] ||
        fail "--verify row $row: zbarimg read [$(decode "$WORK/v.$ending")]"
done <<'ROWS'
code128|\x10A|png|\x10A
code128|A\x10a|jpg|A\x10a
code39|lower 39|png|LOWER 39
upca|012345678905|jpg|0012345678905
upce|000001|png|0000100000009
ROWS
printf 'line one\n\x10two\n036000291452\n' >"$WORK/vlist"
"$BIN" --verify --batch "$WORK/vlist" --out-dir "$WORK/vout" 2>"$WORK/err" ||
    fail "--verify batch: exit status $? ($(cat "$WORK/err"))"
[ "$(ls "$WORK/vout" | tr '\n' ' ')" = "00001.png 00002.png 00003.png " ] ||
    fail "--verify batch wrote: $(ls "$WORK/vout")"

# A failed generation leaves an existing file as it was.
echo "keep me" >"$WORK/keep.png"
"$BIN" --type upca --output "$WORK/keep.png" 123 2>/dev/null
[ "$(cat "$WORK/keep.png")" = "keep me" ] || fail "a failed generation touched the existing file"
# A successful one replaces it whole.
"$BIN" --output "$WORK/keep.png" AB && [ "$(decode "$WORK/keep.png")" = "AB" ] ||
    fail "the existing file was not replaced"

finish "quillion-render symbologies"
