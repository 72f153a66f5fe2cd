#!/usr/bin/env bash
# cpack -G DEB makes quillion, libquillion0 and libquillion-dev with their control fields
# (maintainer, description, library dependencies from dpkg-shlibdeps, the dependencies between
# them), a DEP-5 copyright and a changelog in each, the library's shlibs and ldconfig trigger;
# lintian finds no error (where it is installed); unpacked with dpkg-deb -x into a temporary
# root, quillion-render renders a barcode that reads back.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
ID=io.github.velmorrow.Quillion
need_tools cpack dpkg-deb dpkg-shlibdeps

(cd "$QUILLION_BINARY_DIR" && cpack -G DEB -B "$WORK/pkg") >"$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log" >&2; fail "cpack failed"; finish test_deb; }
version=$(grep -o 'set(CPACK_PACKAGE_VERSION "[^"]*"' \
    "$QUILLION_BINARY_DIR/CPackConfig.cmake" | cut -d'"' -f2)
arch=$(dpkg --print-architecture)
for package in quillion libquillion0 libquillion-dev; do
    deb=$WORK/pkg/${package}_${version}_$arch.deb
    [ -f "$deb" ] || { ls "$WORK/pkg" >&2; fail "no $deb"; finish test_deb; }
    [ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "$package: Package field"
    for line in $(dpkg-deb -f "$deb" Description | awk 'NR > 1 && length > 80 {print NR}'); do
        fail "$package: description line $line is longer than 80 characters"
    done
    dpkg-deb -x "$deb" "$WORK/$package" || fail "dpkg-deb -x $package failed"
    doc=$WORK/$package/usr/share/doc/$package
    [ "$(head -1 "$doc/copyright" 2>/dev/null)" = \
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "$package: no DEP-5 copyright"
    [[ "$(zcat "$doc/changelog.gz" 2>/dev/null)" == "$package ($version) "* ]] ||
        fail "$package: no changelog of version $version"
    # A static quillion-render embeds its libraries (lintian's embedded-library errors): the
    # packages are built with it linked shared (README), so lintian is asked only then.
    if command -v lintian >/dev/null && { [ "$package" != quillion ] ||
        [[ "$(file "$WORK/quillion/usr/bin/quillion-render")" != *static* ]]; }; then
        lintian "$deb" >"$WORK/lintian" 2>/dev/null
        grep '^E:' "$WORK/lintian" && fail "lintian errors on $package"
    fi
done
lib=$WORK/pkg/libquillion0_${version}_$arch.deb
[[ "$(dpkg-deb -f "$WORK/pkg/libquillion-dev_${version}_$arch.deb" Depends)" == *"libquillion0 (= $version)"* ]] ||
    fail "libquillion-dev does not depend on libquillion0 (= $version)"
[[ "$(dpkg-deb -f "$lib" Depends)" == *libfreetype6* ]] || fail "libquillion0: Depends: $(dpkg-deb -f "$lib" Depends)"
dpkg-deb -e "$lib" "$WORK/control"
grep -q "^libquillion 0 libquillion0" "$WORK/control/shlibs" || fail "libquillion0: no shlibs"
grep -qx "activate-noawait ldconfig" "$WORK/control/triggers" || fail "libquillion0: no ldconfig trigger"
# A postrm would leave the package behind as "config-files" after apt remove.
[ ! -e "$WORK/control/postrm" ] || fail "libquillion0 has a postrm"
[ "$(find "$WORK/libquillion-dev" -name quillion.hpp -o -name quillion.pc -o -name QuillionConfig.cmake |
    wc -l)" -eq 3 ] || fail "libquillion-dev lacks the header, quillion.pc or QuillionConfig.cmake"
deb=$WORK/pkg/quillion_${version}_$arch.deb

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
for d in "$WORK"/pkg/*.deb; do
    dpkg-deb -x "$d" "$ROOT" || fail "dpkg-deb -x $d failed"
done
for path in bin/quillion bin/quillion-render share/applications/$ID.desktop \
    share/metainfo/$ID.metainfo.xml share/icons/hicolor/scalable/apps/$ID.svg \
    share/icons/hicolor/48x48/apps/$ID.png share/man/man1/quillion-render.1.gz \
    share/man/man1/quillion-render-verify.1.gz; do
    [ -s "$ROOT/usr/$path" ] || fail "the package lacks /usr/$path"
done
LD_LIBRARY_PATH=$(dirname "$(find "$ROOT/usr/lib" -name libquillion.so.0)") \
    "$ROOT/usr/bin/quillion-render" --type code39 --output "$WORK/a.png" DEB-39 2>"$WORK/err" ||
    fail "unpacked quillion-render: $(cat "$WORK/err")"
[ "$(decode "$WORK/a.png")" = DEB-39 ] || fail "the unpacked renderer's barcode does not read DEB-39"
finish test_deb
