#!/usr/bin/env bash
# Installs the Debian packages the project needs, when some are missing.
# Sourced by run.sh, test.sh and bench.sh.
set -euo pipefail

TG_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  clang libclang-rt-14-dev
  qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins libxcb1-dev fonts-dejavu-core fonts-liberation2
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libsdl2-mixer-dev timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils
  libwayland-dev qt6-base-private-dev weston qt6-wayland
  lintian desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl dpkg-dev
)

tg_install_deps() {
  local missing=()
  local p
  for p in "${TG_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}; run as root or install sudo." >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Builds made after this go through the compiler cache: a checkout built
# before, here or in another folder, compiles again in a fraction of the
# time. Paths are hashed relative to the checkout, so two checkouts share.
tg_use_compiler_cache() {
  command -v ccache >/dev/null 2>&1 || return 0
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
}
