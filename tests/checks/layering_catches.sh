#!/usr/bin/env bash
# The layering check fails on each way an upward include can be written: from
# a file in a subfolder, relative to the including file, and indented inside
# a conditional. Each is planted in a copy of the tree's subsystems.
set -euo pipefail
source_dir=$(realpath "$1")
check="$source_dir/tests/checks/layering.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fresh_tree() {
  rm -rf "$scratch/tree"
  mkdir "$scratch/tree"
  cp -r "$source_dir"/{platform,display,pieces,play,game,shell} "$scratch/tree/"
}

fresh_tree
bash "$check" "$scratch/tree" >/dev/null || { echo "the unplanted copy already fails"; exit 1; }

plant() {
  local name=$1 file=$2 text=$3
  fresh_tree
  mkdir -p "$(dirname "$scratch/tree/$file")"
  printf '%b' "$text" >"$scratch/tree/$file"
  if bash "$check" "$scratch/tree" >"$scratch/out"; then
    echo "not caught: $name"
    exit 1
  fi
  grep -q "$file" "$scratch/out" || { echo "caught, but not named: $name"; cat "$scratch/out"; exit 1; }
}

plant "a file in a subfolder" game/sessions/extra.cpp '#include "shell/mainform.h"\n'
plant "a relative include" play/extra.cpp '#include "../game/jigsaw.h"\n'
plant "an indented include in a conditional" pieces/extra.h '#if defined(X)\n  #  include "play/move.h"\n#endif\n'
plant "a widget header in the game" game/extra.cpp '#include <QWidget>\n'
echo "every planted upward include was caught"
