#!/usr/bin/env bash
# Printing end to end through a private cupsd with a cups-pdf queue: no default printer gives
# "Printer error" without a hang; a Code 128 picture printed in twips covers 5.42 x 1.20 inches
# at the top-left corner of the printable area; a UPC picture printed in pixels covers its
# rectangle in printer pixels. Pages are measured in the PDFs that cups-pdf writes; the corner of
# the printable area comes from the queue's PPD (its ImageableArea for the default page size),
# on the stock cups-pdf PPD (the whole sheet) and on a copy with margins of 0.25 x 0.5 inches.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin_dir=${QUILLION_BINARY_DIR:?QUILLION_BINARY_DIR is not set}
tests_bin=$bin_dir/tests/quillion_core_tests
window_test=$bin_dir/tests/tst_save_print
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../lsan.supp}

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: printing tests need root to run a private cupsd"
    exit 77
fi
[ -x "$tests_bin" ] || {
    echo "FAIL: $tests_bin is missing"
    exit 1
}
for tool in pdfinfo pdftoppm convert zbarimg; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is missing (poppler-utils, imagemagick, zbar-tools)"
        exit 1
    }
done

source "$here/cups_env.sh"
cups_env_start

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run_gtest FILTER: runs exactly the named tests, which must pass and not be skipped.
run_gtest() {
    local out
    if ! out=$(timeout 120 "$tests_bin" --gtest_filter="$1" 2>&1); then
        echo "$out"
        fail "$1 failed (or did not end within 120 s)"
        return 1
    fi
    if ! grep -q '^\[  PASSED  \]' <<<"$out" || grep -q '^\[  SKIPPED \]' <<<"$out"; then
        echo "$out"
        fail "$1 did not run"
        return 1
    fi
}

# within A B TOLERANCE
within() {
    awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'
}

# ppd_corner PPD: the top-left corner of the printable area of the default page size, in inches
# from the sheet's top-left corner ("left top").
ppd_corner() {
    awk '
        /^\*DefaultPageSize:/ { size = $2 }
        /^\*ImageableArea / { split($2, n, "/"); gsub(/"/, ""); area[n[1]] = $(NF-3) " " $NF }
        /^\*PaperDimension / { split($2, n, "/"); gsub(/"/, ""); paper[n[1]] = $NF }
        END {
            if (!(size in area) || !(size in paper)) exit 1
            split(area[size], a, " ")
            print a[1] / 72, (paper[size] - a[2]) / 72
        }' "$1"
}

# check_page PDF EXPECT_FILE BARCODE CORNER: one page; the dark area where the rectangle puts it
# from the printable area's corner ("left top" in inches), within one printer pixel; the barcode
# reads back from the page.
check_page() {
    local pdf=$1 expect=$2 barcode=$3 corner=$4 pages dpi=600 box
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
    [ "$pages" = 1 ] || fail "$pdf has ${pages:-no} pages, not 1"
    pdftoppm -r $dpi -gray -singlefile "$pdf" "$CUPS_ENV_DIR/page"
    # The bounding box of the dark pixels (a white border first, so that a dark corner cannot be
    # taken for the background).
    box=$(convert "$CUPS_ENV_DIR/page.pgm" -threshold 50% -bordercolor white -border 10 \
        -format '%@' info:)
    local w h x y
    IFS='x+' read -r w h x y <<<"$box"
    local resolution left top right bottom
    resolution=$(awk '/^resolution/ { print $2 }' "$expect")
    read -r left top right bottom < <(awk -v c="$corner" \
        'BEGIN { split(c, o, " ") } /^dark/ { print o[1] + $2, o[2] + $3, o[1] + $4, o[2] + $5 }' \
        "$expect")
    local got_left got_top got_right got_bottom tolerance
    got_left=$(awk -v v="$x" -v d=$dpi 'BEGIN { print (v - 10) / d }')
    got_top=$(awk -v v="$y" -v d=$dpi 'BEGIN { print (v - 10) / d }')
    got_right=$(awk -v v="$x" -v s="$w" -v d=$dpi 'BEGIN { print (v - 10 + s) / d }')
    got_bottom=$(awk -v v="$y" -v s="$h" -v d=$dpi 'BEGIN { print (v - 10 + s) / d }')
    tolerance=$(awk -v r="$resolution" -v d=$dpi 'BEGIN { print 1 / r + 1 / d }')
    echo "  $(basename "$pdf"): printer $resolution dpi; corner $corner in; $(grep '^rect' "$expect");" \
        "dark area expected $left $top $right $bottom in, found $got_left $got_top $got_right $got_bottom in"
    within "$got_left" "$left" "$tolerance" || fail "left edge $got_left in, expected $left in"
    within "$got_top" "$top" "$tolerance" || fail "top edge $got_top in, expected $top in"
    within "$got_right" "$right" "$tolerance" || fail "right edge $got_right in, expected $right in"
    within "$got_bottom" "$bottom" "$tolerance" ||
        fail "bottom edge $got_bottom in, expected $bottom in"
    local read
    read=$(zbarimg -q --raw "$CUPS_ENV_DIR/page.pgm" 2>/dev/null || true)
    grep -qx -- "$barcode" <<<"$read" || fail "the page reads '${read}', not '$barcode'"
}

echo "1. a queue but no default printer"
QUILLION_PRINT_TEST=none run_gtest 'PrintThroughCups.NoDefaultPrinterRaisesPrinterError' || true
echo "2. no CUPS server at all"
CUPS_SERVER=$CUPS_ENV_DIR/nothing.sock QUILLION_PRINT_TEST=none \
    run_gtest 'PrintThroughCups.NoDefaultPrinterRaisesPrinterError' || true

cups_env_make_default
printed=0
expect=$CUPS_ENV_DIR/expect.txt
corner=$(ppd_corner "$CUPS_ENV_DIR/etc/ppd/$CUPS_ENV_QUEUE.ppd") || fail "no printable area in the PPD"
echo "3. Code 128 in twips"
if QUILLION_PRINT_TEST=print QUILLION_PRINT_EXPECT=$expect \
    run_gtest 'PrintThroughCups.Code128InTwips*'; then
    printed=$((printed + 1))
    pdf=$(cups_env_wait_pdfs $printed | tail -n 1)
    check_page "$pdf" "$expect" "AB" "$corner"
fi
echo "4. UPC-A in printer pixels"
if QUILLION_PRINT_TEST=print QUILLION_PRINT_EXPECT=$expect \
    run_gtest 'PrintThroughCups.UpcInPixels*'; then
    printed=$((printed + 1))
    pdf=$(cups_env_wait_pdfs $printed | tail -n 1)
    # zbar reports a UPC-A symbol in its EAN-13 form, with a leading 0.
    check_page "$pdf" "$expect" "0036000291452" "$corner"
fi
echo "4b. Code 128 on a printer with margins: at the corner of its printable area"
margins_ppd=$CUPS_ENV_DIR/margins.ppd
# A4 with 18 pt (0.25 in) left and right, 36 pt (0.5 in) top and bottom.
sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "18 36 577 806"|' \
    -e 's|^\*DefaultPageSize: .*|*DefaultPageSize: A4|' \
    -e 's|^\*DefaultImageableArea: .*|*DefaultImageableArea: A4|' \
    "$CUPS_ENV_DIR/etc/ppd/$CUPS_ENV_QUEUE.ppd" >"$margins_ppd"
if cups_env_add_queue quillion-margins "$margins_ppd"; then
    corner=$(ppd_corner "$CUPS_ENV_DIR/etc/ppd/quillion-margins.ppd") ||
        fail "no printable area in the margins PPD"
    [ "$corner" = "0.25 0.5" ] || fail "the margins PPD's corner is '$corner', not '0.25 0.5'"
    if QUILLION_PRINT_TEST=print QUILLION_PRINT_EXPECT=$expect \
        run_gtest 'PrintThroughCups.Code128InTwips*'; then
        printed=$((printed + 1))
        pdf=$(cups_env_wait_pdfs $printed | tail -n 1)
        check_page "$pdf" "$expect" "AB" "$corner"
    fi
    cups_env_make_default
else
    fail "could not add the queue with margins"
fi
echo "5. a document abandoned without EndDoc prints nothing"
QUILLION_PRINT_TEST=print run_gtest 'PrintThroughCups.CopiesBelowOneAreRefused*' || true
sleep 1
count=$(find "$CUPS_ENV_DIR/pdf" -name '*.pdf' | wc -l)
[ "$count" -eq "$printed" ] || fail "$count PDF files, expected $printed"

if [ -x "$window_test" ]; then
    echo "6. the window's print command"
    if ! QUILLION_PRINT_TEST=print QUILLION_PRINT_PDF_DIR=$CUPS_ENV_DIR/pdf \
        timeout 300 "$window_test"; then
        fail "tst_save_print failed"
    fi
fi

if [ $failures -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "printing: all checks passed"
