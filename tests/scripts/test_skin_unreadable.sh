#!/usr/bin/env bash
# A skin file without read permission, for a user who may not read it: as root (who reads any
# file) the window test's "no permission" row runs as the user nobody, through setpriv.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin_dir=${QUILLION_BINARY_DIR:?QUILLION_BINARY_DIR is not set}
test_bin=$bin_dir/tests/tst_window_use
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../lsan.supp}

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: not root; tst_window_use runs the row itself"
    exit 77
fi
[ -x "$test_bin" ] || {
    echo "FAIL: $test_bin is missing"
    exit 1
}
command -v setpriv >/dev/null || {
    echo "FAIL: setpriv is missing (util-linux)"
    exit 1
}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chmod 0777 "$home"
out=$home/out.txt
if ! HOME=$home XDG_RUNTIME_DIR=$home TMPDIR=$home QT_QPA_PLATFORM=offscreen \
    setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$test_bin" skinThatCannotBeRead >"$out" 2>&1; then
    cat "$out"
    echo "FAIL: the unreadable skin rows failed as the user nobody"
    exit 1
fi
if ! grep -q '^PASS   : TestWindowUse::skinThatCannotBeRead(2 no permission)' "$out"; then
    cat "$out"
    echo "FAIL: the no-permission row did not run"
    exit 1
fi
echo "1 passed, 0 failed"
