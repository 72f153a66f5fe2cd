#!/usr/bin/env bash
# quillion-render's types and options beyond the window's: --code-set auto against set B and
# zint's Code 128 on 1,000 random texts of digits and letters (module counts from the SVG
# widths, without caption); zbarimg reads a sample of each type back; GS1 element strings
# from the GS1 General Specifications read back as GS1 (]C1) with their separators; refused
# texts give their message, exit status 1 and no file.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
need_tools zint zbarimg convert identify

# 1,000 texts of 1 to 30 characters: runs of digits and of letters (a fixed LCG sequence), and
# digit-only texts of every even length from 2 to 40.
awk 'BEGIN {
    seed = 20261207
    for (i = 0; i < 1000; i++) {
        line = ""
        while (length(line) < 1 + i % 30) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            run = 1 + int(seed / 65536) % 9
            digits = int(seed / 256) % 2
            for (j = 0; j < run; j++) {
                seed = (seed * 1103515245 + 12345) % 2147483648
                r = int(seed / 65536)
                line = line (digits ? sprintf("%d", r % 10) : substr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 1 + r % 52, 1))
            }
        }
        print substr(line, 1, 1 + i % 30)
    }
}' >"$WORK/mixed.txt"
for n in $(seq 2 2 40); do printf '%0*d\n' "$n" 0 | tr 0 7; done >"$WORK/digits.txt"

# widths DIR: the width of every SVG in the folder, in name order.
widths() { for f in "$1"/*.svg; do sed -n 's/^<svg .* width="\([0-9]*\)".*/\1/p' "$f"; done; }
for set in auto b; do
    "$BIN" --batch "$WORK/mixed.txt" --out-dir "$WORK/$set" --format svg --no-caption \
        --code-set "$set" || fail "batch --code-set $set"
done
(cd "$WORK" && mkdir zint && cd zint &&
    zint --batch -b 20 --scale=0.5 --notext --filetype=svg -i ../mixed.txt -o '~~~~~.svg' >/dev/null) ||
    fail "zint batch"
zint_widths() { for f in "$WORK"/zint/*.svg; do sed -n 's/^<svg width="\([0-9]*\)".*/\1/p' "$f"; done; }
paste <(widths "$WORK/auto") <(widths "$WORK/b") <(zint_widths) "$WORK/mixed.txt" >"$WORK/modules"
[ "$(wc -l <"$WORK/modules")" -eq 1000 ] || fail "not 1,000 module counts"
awk -F'\t' '$1 > $2 || $1 > $3 { print "FAIL: auto " $1 ", set B " $2 ", zint " $3 ": " $4; bad++ }
            { shorter += $1 < $2; saved += $2 - $1; zint += $1 - $3 }
            END { printf "auto: %d of %d shorter than set B, %d modules saved; %+d modules against zint\n",
                         shorter, NR, saved, zint; exit bad > 0 }' "$WORK/modules" >&2 ||
    fail "auto longer than set B or zint"
"$BIN" --batch "$WORK/digits.txt" --out-dir "$WORK/digits" --format svg --no-caption --code-set auto
paste <(widths "$WORK/digits") "$WORK/digits.txt" | awk -F'\t' '
    $1 != 11 * (length($2) / 2 + 3) + 2 { print "FAIL: " $2 ": " $1 " modules"; bad++ } END { exit bad > 0 }' ||
    fail "digit-only texts are not 11 x (n/2 + 3) + 2 modules"

# A batch's SVG files hold their own picture only: UPC and EAN repaint a picture that keeps its
# last painting, which must not pile up in the files.
printf '036000291452\n036000291452\n036000291452\n' >"$WORK/upc.txt"
for type in upca ean13; do
    "$BIN" -t "$type" --batch "$WORK/upc.txt" --out-dir "$WORK/svg-$type" --format svg --jobs 1 2>/dev/null
    [ "$(cat "$WORK/svg-$type"/*.svg | md5sum)" = "$(cat "$WORK/svg-$type/00001.svg"{,,} | md5sum)" ] ||
        fail "$type: the SVG files of a batch differ: $(wc -c "$WORK/svg-$type"/*.svg | head -3)"
done

# zbarimg (no FNC4, no Full ASCII decoding) on a sample of each type.
reads() {
    local row=$1 want=$2
    shift 2
    rm -f "$WORK/r.png"
    "$BIN" "$@" --output "$WORK/r.png" 2>"$WORK/err" || { fail "row $row: $(cat "$WORK/err")"; return; }
    [ "$(decode "$WORK/r.png")" = "$want" ] || fail "row $row: zbarimg read [$(decode "$WORK/r.png")], want [$want]"
}
reads 1 5901234123457 -t ean13 --quiet-zones 590123412345
# The light margins: 11 + 95 + 7 and 7 + 67 + 7 modules of 2 pixels; bars 69.24 and 55.24
# modules high, the digits under them.
[ "$(identify -format '%wx%h' "$WORK/r.png")" = 226x161 ] || fail "EAN-13 is not 226 x 161 pixels"
reads 2 4006381333931 -t EAN-13 4006381333931
reads 3 96385074 -t ean8 --quiet-zones 9638507
[ "$(identify -format '%wx%h' "$WORK/r.png")" = 162x133 ] || fail "EAN-8 is not 162 x 133 pixels"
reads 4 55123457 -t Ean8 55123457
reads 5 0123456789012345 --code-set auto 0123456789012345
reads 6 "AB12345678cd" --code-set auto AB12345678cd
reads 7 "CODE 39R" -t code39 --check-digit "code 39"
reads 8 "+H+E+L+L+O/A" -t code39-full "hello!"
# GS1: SSCC; GTIN, expiry date and batch; GTIN with net weight in kg (3 decimals), variable
# count and batch.
# zbar gives FNC1 as GS (29), the leading one as nothing.
GS=$'\x1d'
reads 9 "00106141411234567897" -t gs1-128 "(00)106141411234567897"
reads 10 "01095011015300031725010110AB-123" -t gs1-128 "(01)09501101530003(17)250101(10)AB-123"
reads 11 "10ABC${GS}0109501101530003" -t gs1-128 "(10)ABC(01)09501101530003"
reads 12 "01095011015300033103001500303${GS}10X1" -t gs1-128 "(01)09501101530003(3103)001500(30)3(10)X1"

# --verify reads GS1 as GS1 and Full ASCII decoded.
for args in "-t gs1-128 (01)09501101530003(3103)001500(30)12(10)X1" "-t code39-full a~b" \
    "-t ean8 1234567" "--code-set auto Grüße"; do
    # shellcheck disable=SC2086
    "$BIN" --verify --output "$WORK/v.png" $args 2>"$WORK/err" || fail "--verify $args: $(cat "$WORK/err")"
done

# Refused texts: message, status 1, no file.
refused() {
    local row=$1 message=$2
    shift 2
    rm -f "$WORK/bad.png"
    expect_run 1 "$message" "refused row $row" "$BIN" --output "$WORK/bad.png" "$@"
    [ ! -e "$WORK/bad.png" ] || fail "refused row $row: wrote a file"
}
refused 1 "GS1 element (01) 09501101530004: check digit must be 3" -t gs1-128 "(01)09501101530004"
refused 2 "GS1 element (17) 25A101: only digits" -t gs1-128 "(17)25A101"
refused 3 "GS1 element (99x): an application identifier is 2 to 4 digits" -t gs1-128 "(99x)1"
refused 4 "GS1 element (10) ABCDEFGHIJKLMNOPQRSTU: takes at most 20" -t gs1-128 "(10)ABCDEFGHIJKLMNOPQRSTU"
refused 5 "GS1 element (410) 1234567890123: check digit must be 8" -t gs1-128 "(410)1234567890123"
refused 6 "Barcode check digit must be 7" -t ean13 5901234123458
refused 7 "Barcode must be 7 or 8 digits" -t ean8 123456789
refused 8 "Barcode must be all numeric" -t ean13 59012341234X
refused 9 "Barcode must use only ASCII characters" -t code39-full "café"
refused 10 "Barcode must use only 0-9" -t code39 --check-digit "a_b"
refused 11 "the character '€' (U+20AC) at position 1 is not in ISO 8859-1" --code-set auto "€"
refused 12 "GS1 element (17) 250015: month 0 does not exist" -t gs1-128 "(17)250015"
expect_run 2 "unknown code set" "--code-set c" "$BIN" --code-set c --output "$WORK/bad.png" AB

finish "linear types"
