#!/usr/bin/env bash
# cpack -G DEB, in the configuration the packages are built from (scripts/package), makes
# quillion, libquillion0 and libquillion-dev with their control fields (maintainer, description,
# library dependencies from dpkg-shlibdeps and those loaded on demand, the dependencies between
# them, Multi-Arch), a DEP-5 copyright and a changelog in each, the library's shlibs, symbols
# file (the committed one, matching the library's exports) and ldconfig trigger; lintian
# --pedantic --display-info finds nothing but the tags overridden with a reason; the renderer
# needs glibc alone; unpacked with dpkg-deb -x into a temporary root, quillion-render renders
# barcodes that read back, loading FreeType and libjpeg-turbo when it needs them.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
ID=io.github.velmorrow.Quillion
need_tools cpack dpkg-deb dpkg-shlibdeps dpkg-gensymbols lintian readelf

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
    # Every tag lintian reports, information and pedantic ones included, is a failure; a tag
    # overridden (data/debian/lintian/, each with its reason) is not shown.
    lintian --pedantic --display-info "$deb" >"$WORK/lintian" 2>&1
    tags=$(grep -E '^[EWIPX]: ' "$WORK/lintian")
    [ -z "$tags" ] || fail "lintian on $package: $tags"
    if [ "$package" != quillion ]; then
        [ "$(dpkg-deb -f "$deb" Multi-Arch)" = same ] || fail "$package is not Multi-Arch: same"
    fi
done
# Each override says why, in a comment right above it.
for overrides in "$SRC"/data/debian/lintian/*; do
    awk '!/^#/ && NF && prev !~ /^#/ {print FILENAME ": " $0 " has no reason above it"; bad = 1}
         {prev = $0} END {exit bad}' "$overrides" || fail "lintian override without a reason"
done
lib=$WORK/pkg/libquillion0_${version}_$arch.deb
[[ "$(dpkg-deb -f "$WORK/pkg/libquillion-dev_${version}_$arch.deb" Depends)" == *"libquillion0 (= $version)"* ]] ||
    fail "libquillion-dev does not depend on libquillion0 (= $version)"
# The libraries loaded on demand (dlopen), which dpkg-shlibdeps cannot see, and glibc.
for package in libquillion0 quillion; do
    depends=$(dpkg-deb -f "$WORK/pkg/${package}_${version}_$arch.deb" Depends)
    for dep in libc6 libfreetype6 libfontconfig1 libturbojpeg0; do
        grep -qE "(^|,) *$dep\b" <<<"$depends" || fail "$package: Depends lacks $dep: $depends"
    done
done
dpkg-deb -e "$lib" "$WORK/control"
grep -q "^libquillion 0 libquillion0" "$WORK/control/shlibs" || fail "libquillion0: no shlibs"
# The symbols file is the committed one, and matches what the packaged library exports.
cmp -s "$WORK/control/symbols" "$SRC/data/debian/libquillion0.symbols" ||
    fail "libquillion0: DEBIAN/symbols is not data/debian/libquillion0.symbols"
so=$(find "$WORK/libquillion0/usr/lib" -name 'libquillion.so.0.*' | head -1)
cmake -DLIBRARY="$so" -DVERSION="$version" -DSYMBOLS="$SRC/data/debian/libquillion0.symbols" \
    -DMODE=check -P "$SRC/data/debian/symbols.cmake" >"$WORK/symbols.log" 2>&1 ||
    fail "libquillion0's exports differ from its symbols file: $(cat "$WORK/symbols.log")"
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
# A one-shot run loads libc and the loader only (README: start-up), not even libm
# (runtime/plain_math.h): FreeType, fontconfig and libjpeg-turbo are opened when a run needs them.
needed=$(readelf -d "$ROOT/usr/bin/quillion-render" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
    grep -vxE 'libc\.so\.6|ld-linux-x86-64\.so\.2')
[ -z "$needed" ] || fail "the packaged quillion-render links more than libc: $needed"
export XDG_CACHE_HOME=$WORK/cache
LD_LIBRARY_PATH=$(dirname "$(find "$ROOT/usr/lib" -name libquillion.so.0)") \
    "$ROOT/usr/bin/quillion-render" --type code39 --output "$WORK/a.png" DEB-39 2>"$WORK/err" ||
    fail "unpacked quillion-render: $(cat "$WORK/err")"
[ "$(decode "$WORK/a.png")" = DEB-39 ] || fail "the unpacked renderer's barcode does not read DEB-39"
# A caption (FreeType, fontconfig) and a JPEG (libjpeg-turbo), twice: the second caption comes
# from the kept glyphs, without FreeType.
for run in 1 2; do
    LD_DEBUG=libs "$ROOT/usr/bin/quillion-render" --output "$WORK/c$run.jpg" DEB-128 \
        2>"$WORK/libs$run" || fail "unpacked quillion-render, JPEG with caption: run $run failed"
    [ "$(decode "$WORK/c$run.jpg")" = DEB-128 ] || fail "the JPEG of run $run does not read DEB-128"
done
grep -q 'calling init: .*libturbojpeg' "$WORK/libs1" || fail "run 1 did not load libjpeg-turbo"
grep -q 'calling init: .*libfreetype' "$WORK/libs1" || fail "run 1 did not load FreeType"
grep -q 'calling init: .*libfreetype' "$WORK/libs2" && fail "run 2 loaded FreeType again"
# Libraries that cannot be loaded (files that are no libraries, found first): a run that needs
# one fails with the loader's message; a run that needs none is not troubled by them.
mkdir -p "$WORK/broken"
: >"$WORK/broken/libfreetype.so.6"
: >"$WORK/broken/libturbojpeg.so.0"
broken() { LD_LIBRARY_PATH=$WORK/broken XDG_CACHE_HOME=$WORK/cache-broken "$ROOT/usr/bin/quillion-render" "$@"; }
expect_run 1 'no font for the caption: .*cannot load libfontconfig.so.1: .*libfreetype.so.6' \
    "caption without FreeType" broken --output "$WORK/b.png" DEB-128
expect_run 1 'cannot load libturbojpeg.so.0' "JPEG without libjpeg-turbo" \
    broken --no-caption --output "$WORK/b.jpg" DEB-128
expect_run 0 '' "PNG without caption, with broken libraries" \
    broken --no-caption --output "$WORK/b.png" DEB-128
[ "$(decode "$WORK/b.png")" = DEB-128 ] || fail "the PNG without caption does not read DEB-128"
finish test_deb
