#!/usr/bin/env bash
# Builds everything and runs every test; then builds the unit tests with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them again.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tg_install_deps

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTG_SANITIZE=ON -DTG_UNIT_ONLY=ON >/dev/null
cmake --build build-asan -j "$jobs" --target unit_tests

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan -j "$jobs" --output-on-failure

echo "== All tests =="
ctest --test-dir build -j "$jobs" --output-on-failure
