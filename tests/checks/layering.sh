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
rank() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  echo ""
}

# The folder a quoted include names: the compiler looks beside the including
# file first, then from the top of the tree.
included_folder() {
  local file=$1 included=$2 path
  if [ -e "$(dirname "$file")/$included" ]; then
    path=$(realpath -m --relative-to="$root" "$(dirname "$file")/$included")
  else
    path=$(realpath -m --relative-to="$root" "$included")
  fi
  echo "${path%%/*}"
}

includes() {
  sed -n "s/^[[:space:]]*#[[:space:]]*include[[:space:]]*$1.*/\\1/p" "$2"
}

failures=0
for folder in "${layers[@]}"; do
  own=$(rank "$folder")
  while IFS= read -r -d '' file; do
    while IFS= read -r included; do
      target=$(rank "$(included_folder "$file" "$included")")
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
