#!/usr/bin/env bash
# Builds the player in Release and starts the demo gift.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tg_install_deps
tg_use_compiler_cache

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only the player, the gift tool and the demo gift: the tests are test.sh's.
cmake --build build-release --target tessarine tessarine-gift demo_gift

if [ -x build-release/demo-gift ]; then
  exec build-release/demo-gift
fi
exec build-release/shell/tessarine
