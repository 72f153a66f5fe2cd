#!/usr/bin/env bash
# The two programs of docs/library.md, taken from the page as they stand, built against a
# DESTDIR installation of the build tree with pkg-config and with find_package(Quillion), run in
# an empty folder: each writes one PNG per symbology, which ZXing-C++ reads back as its text.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
need_tools c++ cc pkg-config cmake
READ=$QUILLION_BINARY_DIR/tests/quillion_read_png
[ -x "$READ" ] || { echo "SKIP: $READ not built"; exit 77; }
ROOT=$WORK/root
DESTDIR=$ROOT cmake --install "$QUILLION_BINARY_DIR" --prefix /usr >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "cmake --install failed"; finish test_library_examples; }
LIBDIR=$(dirname "$(find "$ROOT/usr/lib" -name libquillion.so.0 | head -1)")
export PKG_CONFIG_PATH=$LIBDIR/pkgconfig LD_LIBRARY_PATH=$LIBDIR

# The Nth fenced block of one language, as a file.
extract() {
    awk -v lang="$1" -v want="$2" '$0 == "```" lang {n++; on = n == want; next}
        on && $0 == "```" {on = 0} on' "$SRC/docs/library.md" >"$3"
    [ -s "$3" ] || fail "docs/library.md has no \`\`\`$1 block number $2"
}
extract cpp 1 "$WORK/example.cpp"
extract c 1 "$WORK/example.c"
extract c 2 "$WORK/modules.c"

# check NAME: runs the program WORK/NAME in a folder of its own and reads its four PNGs.
check() {
    local dir=$WORK/run-$1 expected got
    mkdir -p "$dir"
    (cd "$dir" && "$WORK/$1") >"$WORK/out" 2>&1 || { fail "$1 failed: $(cat "$WORK/out")"; return; }
    expected=$'Quillion 128\nQUILLION-39\n036000291452\n01234565'
    got=$("$READ" "$dir"/code128.png "$dir"/code39.png "$dir"/upca.png "$dir"/upce.png)
    [ "$got" = "$expected" ] || fail "$1: read back as: $got"
}

c++ -std=c++20 -Wall -Wextra -Werror "$WORK/example.cpp" $(pkg-config --cflags --libs quillion) \
    -o "$WORK/cpp-pkgconfig" 2>"$WORK/err" || fail "C++ with pkg-config: $(cat "$WORK/err")"
cc -std=c99 -Wall -Wextra -Werror "$WORK/example.c" $(pkg-config --cflags --libs quillion) \
    -o "$WORK/c-pkgconfig" 2>"$WORK/err" || fail "C with pkg-config: $(cat "$WORK/err")"
check cpp-pkgconfig
check c-pkgconfig

# The third program prints the modules of Code 128 "Quillion-42": zint's, bit for bit.
cc -std=c99 -Wall -Wextra -Werror "$WORK/modules.c" $(pkg-config --cflags --libs quillion) \
    -o "$WORK/modules" 2>"$WORK/err" || fail "the modules program: $(cat "$WORK/err")"
if [ -x "$WORK/modules" ] && command -v zint >/dev/null; then
    got=$("$WORK/modules" | head -1)
    want=$(zint --barcode=20 --dump -d Quillion-42 | tr -d ' ' |
        python3 -c 'import sys; h = sys.stdin.read().strip(); print(bin(int(h, 16))[2:].zfill(4 * len(h)))')
    # zint pads the last hexadecimal digit with spaces (zeros).
    [ "${want:0:${#got}}" = "$got" ] && [ -z "$(tr -d 0 <<<"${want:${#got}}")" ] && [ ${#got} -gt 100 ] ||
        fail "the modules of Quillion-42: $got, zint: $want"
fi

mkdir -p "$WORK/project"
cp "$WORK/example.cpp" "$WORK/example.c" "$WORK/project/"
cat >"$WORK/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(examples C CXX)
find_package(Quillion 0 REQUIRED)
add_executable(cpp-cmake example.cpp)
target_link_libraries(cpp-cmake PRIVATE Quillion::quillion)
add_executable(c-cmake example.c)
target_link_libraries(c-cmake PRIVATE Quillion::quillion)
CMAKE
if cmake -S "$WORK/project" -B "$WORK/project/build" -DCMAKE_PREFIX_PATH="$ROOT/usr" \
    >"$WORK/cmake.log" 2>&1 && cmake --build "$WORK/project/build" >>"$WORK/cmake.log" 2>&1; then
    cp "$WORK/project/build/cpp-cmake" "$WORK/project/build/c-cmake" "$WORK/"
    check cpp-cmake
    check c-cmake
else
    fail "find_package(Quillion): $(tail -20 "$WORK/cmake.log")"
fi
finish test_library_examples
