#!/usr/bin/env bash
# cmake --install into a temporary root (DESTDIR): every file of a desktop installation is there
# and passes the checker of its kind (desktop-file-validate, appstreamcli, man, xmllint), the
# scalable icon draws the PNG icon, and the installed renderer runs.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
ID=io.github.velmorrow.Quillion
ROOT=$WORK/root
need_tools desktop-file-validate appstreamcli man xmllint rsvg-convert pkg-config

DESTDIR=$ROOT cmake --install "$QUILLION_BINARY_DIR" --prefix /usr >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "cmake --install failed"; finish test_install; }

# 1-12: the files, by path.
row=0
for path in bin/quillion bin/quillion-render \
    share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml \
    share/icons/hicolor/scalable/apps/$ID.svg \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$ID.png \
    share/man/man1/quillion.1.gz share/man/man1/quillion-render.1.gz \
    share/man/man1/quillion-render-verify.1.gz include/quillion/quillion.hpp \
    include/quillion/quillion.h share/doc/libquillion-dev/library.md; do
    row=$((row + 1))
    [ -s "$ROOT/usr/$path" ] || fail "row $row: $path not installed"
done
for p in bin/quillion bin/quillion-render; do
    [ -x "$ROOT/usr/$p" ] || fail "$p is not executable"
done

out=$(desktop-file-validate "$ROOT/usr/share/applications/$ID.desktop" 2>&1)
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx "Icon=$ID" "$ROOT/usr/share/applications/$ID.desktop" || fail "desktop entry: icon is not $ID"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/$ID.metainfo.xml" >"$WORK/as" 2>&1 ||
    fail "appstreamcli: $(cat "$WORK/as")"
version=$("$ROOT/usr/bin/quillion-render" --version | sed -n 's/^quillion-render //p')
grep -q "<release version=\"$version\"" "$ROOT/usr/share/metainfo/$ID.metainfo.xml" ||
    fail "metainfo release is not the program's version $version"
render_page=$(gzip -dc "$ROOT/usr/share/man/man1/quillion-render.1.gz")
grep -q "Quillion $version" <<<"$render_page" ||
    fail "manual page is not of version $version"

for page in quillion quillion-render quillion-render-verify; do
    warnings=$(man --warnings -l "$ROOT/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
    grep -q '@PROJECT_VERSION@' <<<"$(gzip -dc "$ROOT/usr/share/man/man1/$page.1.gz")" && fail "man $page: version not filled in"
done
# Every long option the renderer's usage names is in its manual page.
rendered=$(MANWIDTH=200 man -l "$ROOT/usr/share/man/man1/quillion-render.1.gz" 2>/dev/null)
for opt in $("$ROOT/usr/bin/quillion-render" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "$opt" <<<"$rendered" ||
        fail "man quillion-render does not document $opt"
done

# The scalable icon is the PNG drawing: only the anti-aliased rim of the rounded corners differs.
svg=$ROOT/usr/share/icons/hicolor/scalable/apps/$ID.svg
xmllint --noout "$svg" || fail "icon SVG is not well-formed"
rsvg-convert -w 64 -h 64 "$svg" -o "$WORK/icon64.png" || fail "rsvg-convert cannot draw the icon"
differ=$(compare -metric AE -fuzz 20% "$WORK/icon64.png" \
    "$ROOT/usr/share/icons/hicolor/64x64/apps/$ID.png" null: 2>&1)
[ "${differ%%.*}" -le 32 ] 2>/dev/null || fail "SVG and 64 px icon differ in $differ pixels"

# The library: its SONAME, only the API exported, its pkg-config and CMake files.
so=$(find "$ROOT/usr/lib" -name libquillion.so.0 | head -1)
[ -n "$so" ] || fail "libquillion.so.0 not installed"
if [ -n "$so" ]; then
    objdump -p "$so" >"$WORK/objdump"
    grep -q 'SONAME *libquillion.so.0$' "$WORK/objdump" || fail "libquillion.so.0 has no SONAME"
    nm -D --defined-only "$so" | c++filt >"$WORK/symbols"
    others=$(awk '{$1 = $2 = ""; print}' "$WORK/symbols" |
        grep -v '^ *quillion_\|^ *quillion::api::\|^ *QUILLION_0$')
    [ -z "$others" ] || fail "libquillion.so.0 exports more than the API: $others"
    for f in pkgconfig/quillion.pc cmake/Quillion/QuillionConfig.cmake; do
        [ -s "$(dirname "$so")/$f" ] || fail "$f not installed"
    done
    # quillion.pc: the prefix installed under, absolute folders built from it.
    pc=$(dirname "$so")/pkgconfig/quillion.pc
    [ "$(pkg-config --variable=prefix "$pc" 2>&1)" = /usr ] || fail "quillion.pc: prefix is not /usr"
    for var in includedir libdir; do
        [[ "$(pkg-config --variable=$var "$pc" 2>&1)" == /usr/* ]] ||
            fail "quillion.pc: $var is not absolute under /usr"
    done
fi

# The installed renderer renders.
"$ROOT/usr/bin/quillion-render" --output "$WORK/a.png" AB 2>"$WORK/err" || fail "installed renderer: $(cat "$WORK/err")"
[ "$(decode "$WORK/a.png")" = AB ] || fail "installed renderer's barcode does not read AB"
finish test_install
