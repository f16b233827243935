#!/usr/bin/env bash
# Includes point down the stack only (platform <- display <- pieces <- play
# <- game <- shell), and nothing below the shell includes a widget header, so
# that everything but the windows builds and runs without a screen. Every
# source file of a folder counts, in subfolders too, and so does an include
# that is indented, inside a conditional, or written relative to the file.
set -euo pipefail
root=$(realpath "$1")
cd "$root"
widgets_dir=$(dirname "$(find /usr/include -path '*/qt6/QtWidgets/QWidget' -print -quit)")
[ -d "$widgets_dir" ] || { echo "QtWidgets headers not found"; exit 1; }

layers=(platform display pieces play game shell)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

# The folder a quoted include names, in included_in: the compiler looks beside
# the including file first, then from the top of the tree.
included_folder() {
  local file=$1 included=$2 path=$2
  if [ -e "${file%/*}/$included" ]; then
    path=$(realpath -m --relative-to="$root" "${file%/*}/$included")
  elif [[ $included == *..* || $included == ./* ]]; then
    path=$(realpath -m --relative-to="$root" "$included")
  fi
  included_in=${path%%/*}
}

includes() {
  sed -n "s/^[[:space:]]*#[[:space:]]*include[[:space:]]*$1.*/\\1/p" "$2"
}

failures=0
for folder in "${layers[@]}"; do
  own=${rank[$folder]}
  while IFS= read -r -d '' file; do
    while IFS= read -r included; do
      included_folder "$file" "$included"
      target=${rank[$included_in]:-}
      if [ -n "$target" ] && [ "$target" -gt "$own" ]; then
        echo "$file includes $included, which lies above it"
        failures=$((failures + 1))
      fi
    done < <(includes '"\([^"]*\)"' "$file")
    if [ "$own" -lt 5 ]; then
      while IFS= read -r header; do
        if [ -e "$widgets_dir/$header" ] || [[ $header == QtWidgets/* ]]; then
          echo "$file includes the widget header <$header>"
          failures=$((failures + 1))
        fi
      done < <(includes '<\([^>]*\)>' "$file")
    fi
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done
if [ "$failures" -gt 0 ]; then
  echo "$failures includes point up the stack"
  exit 1
fi
echo "every include points down the stack"
