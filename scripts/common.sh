# Shared set-up for scripts/run and scripts/test: Debian packages (installed only when missing)
# and a CMake build. Sourced, not run.
set -euo pipefail

QUILLION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building and running the two programs needs (scripts/run).
QUILLION_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libfreetype-dev libfontconfig-dev fonts-liberation
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
  libturbojpeg0-dev zlib1g-dev libzxing-dev
)
# A virtual X server for the window when there is no display (scripts/run, window tests).
QUILLION_XVFB_PACKAGES=(xvfb xauth)
# Everything else the test suite, the benchmarks, the fuzz targets and the package build use
# (scripts/test): readers, a private CUPS server with a PDF printer, the checkers of the
# installed files, Debian's packaging tools.
QUILLION_TEST_PACKAGES=(
  git libjpeg62-turbo-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zbar-tools imagemagick poppler-utils zint dmtx-utils
  cups cups-bsd cups-client cups-filters ghostscript printer-driver-cups-pdf
  x11-apps strace
  clang libclang-rt-14-dev
  desktop-file-utils appstream man-db librsvg2-bin libxml2-utils dpkg-dev file
  python3-pytest python3-pil python3-zxing-cpp python3-dask python3-distributed
  python3-setuptools python3-wheel python3-pip python3-numpy lintian
  python3-reportlab python3-renderpm python3-segno python3-qrcode
)

# The configuration the Debian packages are built from (scripts/package, scripts/test):
# quillion-render linked shared on glibc alone (QUILLION_RENDERER_STATIC_CXX), FreeType,
# fontconfig and libjpeg-turbo loaded when first needed, and the hardening flags dpkg-buildflags
# gives with hardening=+all (stack protector, fortified functions, relro, bindnow; CPPFLAGS go
# with CXXFLAGS, since CMake reads no CPPFLAGS). Sets QUILLION_DEB_OPTIONS.
quillion_deb_options() {
  local flags=(env DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get)
  local cxxflags ldflags
  cxxflags="$("${flags[@]}" CXXFLAGS) $("${flags[@]}" CPPFLAGS)"
  ldflags=$("${flags[@]}" LDFLAGS)
  QUILLION_DEB_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
    -DQUILLION_BUILD_BENCH=OFF -DQUILLION_FUZZ=OFF
    -DQUILLION_STATIC_RENDERER=OFF -DQUILLION_RENDERER_ON_LIBRARY=OFF
    -DQUILLION_RENDERER_STATIC_CXX=ON
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
    "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags"
  )
}
# What the packages hold, and what test_deb needs besides (the tests' PNG reader).
QUILLION_DEB_TARGETS=(quillion quillion-render quillion-render-verify quillion_shared quillion_read_png)

# install_packages PACKAGE...: installs those not installed yet.
install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != *"install ok installed"* ]]; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [--target TARGET... --] [cmake options...]: configures and builds DIR (every
# target, or the ones named).
build() {
  local dir=$1
  shift
  local targets=()
  if [ "${1:-}" = --target ]; then
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
      targets+=("$1")
      shift
    done
    shift
  fi
  cmake -S "$QUILLION_ROOT" -B "$QUILLION_ROOT/$dir" -G Ninja "$@"
  if [ ${#targets[@]} -eq 0 ]; then
    cmake --build "$QUILLION_ROOT/$dir" -j "$(nproc)"
  else
    cmake --build "$QUILLION_ROOT/$dir" -j "$(nproc)" --target "${targets[@]}"
  fi
}
