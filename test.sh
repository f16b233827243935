#!/usr/bin/env bash
# Builds everything and runs every test; then builds the unit tests with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them again; last,
# runs each fuzz target for a short fixed number of inputs.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tg_install_deps
tg_use_compiler_cache

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTG_SANITIZE=ON -DTG_UNIT_ONLY=ON >/dev/null
cmake --build build-asan -j "$jobs" --target unit_tests

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan -j "$jobs" --output-on-failure

echo "== All tests =="
ctest --test-dir build -j "$jobs" --output-on-failure

echo "== Fuzz targets: a short fixed run of each under the sanitizers =="
# Without clang the fuzz build has no targets and its tests report
# themselves skipped.
if fuzz_cxx=$(command -v clang++); then
  fuzz_cc=$(command -v clang)
else
  fuzz_cxx=$(command -v c++) fuzz_cc=$(command -v cc)
fi
CC=$fuzz_cc CXX=$fuzz_cxx cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$fuzz_cxx" -DTG_FUZZ=ON -DTG_UNIT_ONLY=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzzers
ctest --test-dir build-fuzz -j "$jobs" -R '^fuzz\.' --output-on-failure
