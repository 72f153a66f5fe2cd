# Shared set-up for scripts/run and scripts/test: Debian packages (installed only when missing)
# and a CMake build. Sourced, not run.
set -euo pipefail

QUILLION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

QUILLION_PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libfreetype-dev libfontconfig-dev fonts-liberation
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
  libturbojpeg0-dev libjpeg62-turbo-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libzxing-dev zbar-tools imagemagick poppler-utils
  cups cups-bsd cups-client cups-filters ghostscript printer-driver-cups-pdf
  xvfb x11-apps strace
  clang libclang-rt-14-dev
)

install_packages() {
  local missing=()
  local p
  for p in "${QUILLION_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
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

# build DIR [cmake options...]
build() {
  local dir=$1
  shift
  cmake -S "$QUILLION_ROOT" -B "$QUILLION_ROOT/$dir" -G Ninja "$@"
  cmake --build "$QUILLION_ROOT/$dir" -j "$(nproc)"
}
