#!/usr/bin/env bash
# The Python package: built from bindings/python with pip (no network, Debian's setuptools),
# installed into a temporary folder, and tested there with pytest against the build tree's
# libquillion.so.0 (QUILLION_LIBRARY): every symbology read back by ZXing-C++ (zxingcpp), the
# errors, threads, Jupyter's reprs, and the examples of docs/python.md.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
PYTHON=/usr/bin/python3
LIB=$QUILLION_BINARY_DIR/library/libquillion.so.0
[ -x "$PYTHON" ] || { echo "SKIP: no $PYTHON"; exit 77; }
[ -f "$LIB" ] || { echo "SKIP: $LIB not built"; exit 77; }
missing=$("$PYTHON" -c '
import importlib.util
print(*[m for m in "pip setuptools wheel pytest PIL numpy zxingcpp dask distributed".split()
        if importlib.util.find_spec(m) is None])')
[ -z "$missing" ] || { echo "SKIP: python3 lacks $missing"; exit 77; }
# Nothing goes to the home folder or the source tree: pip, pytest, fontconfig and Dask keep
# their caches and settings under WORK, and the package is built from a copy.
export HOME=$WORK/home XDG_CACHE_HOME=$WORK/cache XDG_CONFIG_HOME=$WORK/config
export PIP_DISABLE_PIP_VERSION_CHECK=1 PYTHONDONTWRITEBYTECODE=1
mkdir -p "$HOME"
cp -r "$SRC/bindings/python" "$WORK/source"
rm -rf "$WORK/source/build" "$WORK/source"/src/*.egg-info "$WORK/source/tests"
"$PYTHON" -m pip install --no-build-isolation --no-index --no-cache-dir --target "$WORK/site" \
    "$WORK/source" >"$WORK/pip.log" 2>&1 ||
    { cat "$WORK/pip.log" >&2; fail "pip install failed"; finish test_python; }
for file in quillion/__init__.py quillion/_native.py quillion/py.typed; do
    [ -f "$WORK/site/$file" ] || fail "the installed package lacks $file"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$QUILLION_BINARY_DIR/CMakeCache.txt")
[ -d "$WORK/site/quillion-$version.dist-info" ] ||
    fail "pip installed no quillion-$version.dist-info: $(ls "$WORK/site")"

export PYTHONPATH=$WORK/site QUILLION_LIBRARY=$LIB QUILLION_SOURCE_DIR=$SRC
# A sanitizer build's library needs its run-time loaded first; Python's own allocations are
# not the library's leaks.
asan=$(ldd "$LIB" | awk '/libasan/ {print $3}')
if [ -n "$asan" ]; then
    export LD_PRELOAD=$asan ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
fi
where=$("$PYTHON" -c 'import quillion; print(quillion.__file__)' 2>"$WORK/err") ||
    fail "import quillion: $(cat "$WORK/err")"
[ "$where" = "$WORK/site/quillion/__init__.py" ] || fail "imported quillion from $where"
# The binding loads the library named in QUILLION_LIBRARY, and by default its soname.
[ "$(QUILLION_LIBRARY=$WORK/none.so "$PYTHON" -c 'import quillion' 2>&1 | tail -1)" = \
    "ImportError: quillion needs libquillion.so.0 (Debian package libquillion0, or set QUILLION_LIBRARY to the library's path): $WORK/none.so: cannot open shared object file: No such file or directory" ] ||
    fail "a missing library is not an ImportError that says what to do"

cp -r "$SRC/bindings/python/tests" "$WORK/tests"
# --basetemp: the tests' folders (the guide's examples write 20,000 files) go under WORK too.
(cd "$WORK" && "$PYTHON" -m pytest -q -p no:cacheprovider --basetemp="$WORK/pytest" \
    "$WORK/tests") ||
    fail "pytest failed"
finish test_python
