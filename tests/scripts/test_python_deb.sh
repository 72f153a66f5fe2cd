#!/usr/bin/env bash
# python3-quillion, made alone by cpack -G DEB (component python): Architecture all, its
# dependencies, the files it holds (the package in Debian's python3 folder, a DEP-5 copyright,
# the changelog, the guide), the byte-compiling maintainer scripts, and no lintian tag at all
# (--pedantic --display-info, where lintian is installed); unpacked with dpkg-deb -x into a
# temporary root, its quillion renders a barcode with the build tree's library.
set -uo pipefail
source "$(dirname "$0")/cli_helpers.sh"
need_tools cpack dpkg-deb
grep -q 'QUILLION_PYTHON_PACKAGE:BOOL=ON' "$QUILLION_BINARY_DIR/CMakeCache.txt" ||
    { echo "SKIP: configured without QUILLION_PYTHON_PACKAGE"; exit 77; }
export HOME=$WORK/home XDG_CACHE_HOME=$WORK/cache PYTHONDONTWRITEBYTECODE=1
mkdir -p "$HOME"

(cd "$QUILLION_BINARY_DIR" && cpack -G DEB -D CPACK_COMPONENTS_ALL=python -B "$WORK/pkg") \
    >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log" >&2; fail "cpack failed"; finish test_python_deb; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$QUILLION_BINARY_DIR/CMakeCache.txt")
deb=$WORK/pkg/python3-quillion_${version}_all.deb
[ -f "$deb" ] || { ls "$WORK/pkg" >&2; fail "no $deb"; finish test_python_deb; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Architecture)" = all ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = python ] || fail "Section: $(field Section)"
depends=$(field Depends)
[[ "$depends" =~ (^|, )python3(,|$) ]] || fail "Depends lacks python3: $depends"
[[ "$depends" == *"libquillion0 (>= $version)"* ]] || fail "Depends lacks libquillion0: $depends"
for line in $(field Description | awk 'NR > 1 && length > 80 {print NR}'); do
    fail "description line $line is longer than 80 characters"
done

dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb -x failed"
site=$WORK/root/usr/lib/python3/dist-packages
doc=$WORK/root/usr/share/doc/python3-quillion
for file in "$site"/quillion/{__init__.py,_native.py,_version.py,py.typed} \
    "$doc"/{copyright,changelog.gz,python.md}; do
    [ -f "$file" ] || fail "the package lacks ${file#"$WORK/root"}"
done
[ -z "$(find "$WORK/root" -name '*.pyc' -o -name __pycache__)" ] || fail "the package holds bytecode"
[[ "$(zcat "$doc/changelog.gz")" == "python3-quillion ($version) "* ]] ||
    fail "no changelog of version $version"
dpkg-deb -e "$deb" "$WORK/control"
for script in postinst prerm; do
    [ -x "$WORK/control/$script" ] || fail "no executable $script"
done
grep -q "py3compile -p python3-quillion" "$WORK/control/postinst" || fail "postinst does not byte-compile"
grep -q "py3clean -p python3-quillion" "$WORK/control/prerm" || fail "prerm does not clean up"
[ ! -e "$WORK/control/postrm" ] || fail "a postrm would leave the package behind as config-files"

if command -v lintian >/dev/null; then
    # Its only other words on standard error: a warning when run as root.
    lintian --pedantic --display-info "$deb" >"$WORK/lintian" 2>"$WORK/lintian.err" ||
        fail "lintian failed: $(cat "$WORK/lintian.err")"
    [ ! -s "$WORK/lintian" ] || fail "lintian: $(cat "$WORK/lintian")"
fi

LIB=$QUILLION_BINARY_DIR/library/libquillion.so.0
if [ -f "$LIB" ] && /usr/bin/python3 -c 'import zxingcpp, PIL' 2>/dev/null; then
    PYTHONPATH=$site QUILLION_LIBRARY=$LIB /usr/bin/python3 - >"$WORK/out" 2>&1 <<'PY' ||
import io, zxingcpp, quillion
from PIL import Image, ImageOps
png = quillion.render("code39", "DEB-PY", quiet_zones=True).png()
image = ImageOps.expand(Image.open(io.BytesIO(png)).convert("L"), border=20, fill=255)
print(quillion.__file__, [r.text for r in zxingcpp.read_barcodes(image)])
PY
        fail "the unpacked package: $(cat "$WORK/out")"
    [ "$(cat "$WORK/out")" = "$site/quillion/__init__.py ['DEB-PY']" ] ||
        fail "the unpacked package: $(cat "$WORK/out")"
fi
finish test_python_deb
