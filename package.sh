#!/usr/bin/env bash
# Builds the Debian package of the player and the gift tool in Release, in
# build-package/, and checks it with lintian.
#   sudo apt-get install ./build-package/tessarine-gift_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tg_install_deps
source scripts/package.bash

# Debian's hardening flags, as a package built by Debian's tools gets them.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
# What the package carries, and nothing else: the tests are test.sh's.
cmake --build build-package --target tessarine tessarine-gift demo_gift desktop_files
rm -f build-package/tessarine-gift_*.deb
deb=$(tg_package build-package build-package)
echo "== lintian =="
tg_lint "$deb"
echo "Package: $deb"
