#!/usr/bin/env bash
# Builds and runs the benchmarks; results go to bench-results.json.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tg_install_deps
tg_use_compiler_cache

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTG_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target benchmarks
build-bench/bench/benchmarks --benchmark_out=bench-results.json --benchmark_out_format=json "$@"
echo "Results written to bench-results.json"
