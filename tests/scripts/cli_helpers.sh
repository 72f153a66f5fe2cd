# Shared by the quillion-render script tests (sourced). Sets BIN, SRC, WORK (removed on exit),
# the failure counter and the reading helper; runs everything without a display.
BIN=${QUILLION_BINARY_DIR:?}/quillion-render
SRC=${QUILLION_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$SRC/tests/lsan.supp:print_suppressions=0}
# The renderer needs no display and no Qt platform plugin.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# decode FILE: the text zbarimg reads, after a white quiet zone is added around the image. zbar
# 0.23 misses some symbols drawn at one pixel per module, so the image is also doubled by pixel
# replication, which keeps every width exact.
decode() {
    convert "$1" -bordercolor white -border 20 -scale 200% "$WORK/bordered.png" &&
        zbarimg --quiet --raw "$WORK/bordered.png" 2>/dev/null
}

# expect_run STATUS PATTERN WHAT COMMAND...: COMMAND exits with STATUS and its standard error,
# kept in $WORK/err, has a line matching the grep PATTERN ("" matches anything).
expect_run() {
    local want=$1 pattern=$2 what=$3 status
    shift 3
    "$@" 2>"$WORK/err"
    status=$?
    if [ "$status" -ne "$want" ]; then
        fail "$what: exit status $status, expected $want: $(cat "$WORK/err")"
    elif [ -n "$pattern" ] && ! grep -q -- "$pattern" "$WORK/err"; then
        fail "$what: $(cat "$WORK/err")"
    fi
}

# need_tools TOOL...: skips the whole test (status 77) when a tool is not installed.
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
    done
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failure(s)" >&2
        exit 1
    fi
    echo "$1: all checks passed"
}
