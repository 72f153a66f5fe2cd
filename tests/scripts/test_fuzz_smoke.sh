#!/usr/bin/env bash
# A short, bounded fuzz run of every libFuzzer target (fuzz/fuzz_*.cpp) on its seed corpus:
# built with clang into the test build folder, each target run for QUILLION_FUZZ_SECONDS
# (default 15: seven targets and the clang build stay within about four minutes). Any crash,
# sanitizer report, leak, timeout or broken rule fails the test.
# Skipped when clang with libFuzzer is not installed.
set -euo pipefail

root=${QUILLION_SOURCE_DIR:?QUILLION_SOURCE_DIR is not set}
bin_dir=${QUILLION_BINARY_DIR:?QUILLION_BINARY_DIR is not set}
seconds=${QUILLION_FUZZ_SECONDS:-15}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
  >"$probe/probe.cpp"
if ! command -v clang++ >/dev/null ||
   ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "SKIP: clang++ with libFuzzer is not installed (clang, libclang-rt-14-dev)"
  exit 77
fi

# The sanitizer settings of the gcc test build do not apply to the clang-built targets.
unset ASAN_OPTIONS UBSAN_OPTIONS
export QUILLION_FUZZ_BUILD_DIR=$bin_dir/fuzz-smoke
exec "$root/scripts/fuzz" "$seconds"
