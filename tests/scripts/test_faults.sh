#!/usr/bin/env bash
# cupsd stopped in the middle of printing from the window: for each moment of
# tst_faults' printWhileCupsdStops, a private cupsd with a cups-pdf queue as the default
# printer is started, the window prints, and the test stops cupsd at that moment. The handler
# must report the failing step without hanging, and the window must go on working.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin_dir=${QUILLION_BINARY_DIR:?QUILLION_BINARY_DIR is not set}
window_test=$bin_dir/tests/tst_faults
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../lsan.supp}

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: stopping a private cupsd needs root to run one"
    exit 77
fi
if [ ! -x "$window_test" ]; then
    echo "SKIP: $window_test is not built (no window)"
    exit 77
fi

source "$here/cups_env.sh"
failures=0
for moment in "before the scale mode" "before the end of the document"; do
    echo "== cupsd stopped $moment"
    cups_env_start
    cups_env_make_default
    if ! QUILLION_CUPSD_PID=$CUPS_ENV_PID timeout 300 "$window_test" \
        "printWhileCupsdStops:$moment"; then
        echo "FAIL: printing with cupsd stopped $moment"
        failures=$((failures + 1))
    fi
    cups_env_stop
done
[ $failures -eq 0 ] || exit 1
echo "cupsd stopped while printing: all checks passed"
