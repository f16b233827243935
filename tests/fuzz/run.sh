#!/usr/bin/env bash
# run.sh <fuzz target> <seed folder> <work folder> [libFuzzer flags...]
# One reproducible run of a fuzz target over a fresh copy of its seed corpus
# in the work folder; what it finds lands in the work folder's crashes/ and
# the test fails. The same random seed alone does not make two runs alike:
# the order Qt's hashes keep, the addresses the program compares and
# libFuzzer's rereading of its corpus folder on a clock all steer the search,
# so they are fixed too.
set -euo pipefail
target=$1 seeds=$2 work=$3
shift 3

if [ ! -d "$seeds" ]; then
  echo "no seed corpus in $seeds: build the fuzzers target first" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work/corpus" "$work/crashes"
cp "$seeds"/* "$work/corpus/"

export QT_QPA_PLATFORM=offscreen QT_HASH_SEED=0
fixed_addresses=()
if setarch -R true 2>/dev/null; then fixed_addresses=(setarch -R); fi
# Any finding fails the test: libFuzzer's own exit code for one is 77,
# which CTest could take for "skipped".
"${fixed_addresses[@]}" "$target" -seed=1 -reload=0 -error_exitcode=1 -timeout=25 -print_final_stats=1 \
  -artifact_prefix="$work/crashes/" "$@" "$work/corpus"
