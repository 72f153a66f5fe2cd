#!/usr/bin/env bash
# cpack -G DEB makes quillion_VERSION_ARCH.deb with its control fields (maintainer,
# description, library dependencies from dpkg-shlibdeps) and every installed file; unpacked
# with dpkg-deb -x into a temporary root, its quillion-render renders a barcode that reads back.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
ID=io.github.velmorrow.Quillion
need_tools cpack dpkg-deb dpkg-shlibdeps

(cd "$QUILLION_BINARY_DIR" && cpack -G DEB -B "$WORK/pkg") >"$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log" >&2; fail "cpack failed"; finish test_deb; }
version=$(grep -o 'set(CPACK_PACKAGE_VERSION "[^"]*"' \
    "$QUILLION_BINARY_DIR/CPackConfig.cmake" | cut -d'"' -f2)
deb=$WORK/pkg/quillion_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$WORK/pkg" >&2; fail "no $deb"; finish test_deb; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillion ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
# Each field is captured before it is matched: under pipefail, grep -q leaving a pipeline early
# would fail the writer with SIGPIPE.
[[ "$(field Maintainer)" == *"<"*@*">"* ]] || fail "Maintainer: $(field Maintainer)"
[[ "$(field Description)" == *barcode* ]] || fail "Description: $(field Description)"
depends=$(field Depends)
# Rows 1-5: libraries the programs link, found by dpkg-shlibdeps; fonts and Qt's platform
# plugins, named by hand.
row=0
for dep in libc6 libfreetype6 libqt6widgets6 fonts-liberation qt6-qpa-plugins; do
    row=$((row + 1))
    grep -qE "(^|,) *$dep\b" <<<"$depends" || fail "row $row: Depends lacks $dep: $depends"
done

ROOT=$WORK/root
dpkg-deb -x "$deb" "$ROOT" || fail "dpkg-deb -x failed"
for path in bin/quillion bin/quillion-render share/applications/$ID.desktop \
    share/metainfo/$ID.metainfo.xml share/icons/hicolor/scalable/apps/$ID.svg \
    share/icons/hicolor/48x48/apps/$ID.png share/man/man1/quillion-render.1.gz; do
    [ -s "$ROOT/usr/$path" ] || fail "the package lacks /usr/$path"
done
"$ROOT/usr/bin/quillion-render" --type code39 --output "$WORK/a.png" DEB-39 2>"$WORK/err" ||
    fail "unpacked quillion-render: $(cat "$WORK/err")"
[ "$(decode "$WORK/a.png")" = DEB-39 ] || fail "the unpacked renderer's barcode does not read DEB-39"
finish test_deb
