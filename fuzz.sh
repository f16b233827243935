#!/usr/bin/env bash
# ./fuzz.sh [target] [seconds]
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs one target, or each in
# turn, for that many seconds (default 300). Each target's corpus grows in
# build-fuzz/fuzz/<target>/corpus from run to run, seeded from the corpus the
# build makes; what it finds lands in build-fuzz/fuzz/<target>/crashes/.
# Replay a finding with: build-fuzz/tests/fuzz/fuzz_<target> <file>
set -euo pipefail
cd "$(dirname "$0")"

targets=(gifttrailer giftfile picture savedgame sprite)
usage() {
  echo "usage: ./fuzz.sh [target] [seconds]   (targets: ${targets[*]}; seconds default 300)" >&2
  exit 2
}
[ $# -le 2 ] || usage
selected=("${targets[@]}")
if [ $# -ge 1 ] && [ "$1" != all ]; then
  [[ " ${targets[*]} " == *" $1 "* ]] || usage
  selected=("$1")
fi
seconds=${2:-300}
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage

source scripts/deps.sh
tg_install_deps
tg_use_compiler_cache
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ is missing: the fuzz targets need clang's libFuzzer" >&2
  exit 1
fi

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$(command -v clang++)" -DTG_FUZZ=ON -DTG_UNIT_ONLY=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers

export QT_QPA_PLATFORM=offscreen
found=()
for name in "${selected[@]}"; do
  corpus=$build/fuzz/$name/corpus
  crashes=$build/fuzz/$name/crashes
  mkdir -p "$corpus" "$crashes"
  echo "== fuzz_$name for $seconds s; corpus $corpus"
  # New inputs go to the first folder; the seeds are only read.
  if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -error_exitcode=1 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "$build/tests/fuzz/seeds/$name"; then
    found+=("$name")
  fi
  if [ -n "$(ls -A "$crashes")" ]; then
    echo "== fuzz_$name: crashes, timeouts and leaks so far, in $crashes/:"
    ls -1 "$crashes"
  else
    echo "== fuzz_$name: nothing found; crashes would land in $crashes/"
  fi
done

if [ ${#found[@]} -gt 0 ]; then
  echo "Findings in: ${found[*]}; see build-fuzz/fuzz/<target>/crashes/" >&2
  exit 1
fi
echo "No findings."
