#!/usr/bin/env bash
# Includes point down the stack only (platform <- display <- pieces <- play
# <- game <- shell), and nothing below the shell includes a widget header, so
# that everything but the windows builds and runs without a screen.
set -euo pipefail
cd "$1"
widgets_dir=$(dirname "$(find /usr/include -path '*/qt6/QtWidgets/QWidget' -print -quit)")
[ -d "$widgets_dir" ] || { echo "QtWidgets headers not found"; exit 1; }

rank() {
  case "$1" in
    platform) echo 0 ;; display) echo 1 ;; pieces) echo 2 ;; play) echo 3 ;; game) echo 4 ;; shell) echo 5 ;;
    *) echo "" ;;
  esac
}

failures=0
for folder in platform display pieces play game shell; do
  own=$(rank "$folder")
  for file in "$folder"/*.h "$folder"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r included; do
      target=$(rank "${included%%/*}")
      if [ -n "$target" ] && [ "$target" -gt "$own" ]; then
        echo "$file includes $included, which lies above it"
        failures=$((failures + 1))
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
    if [ "$own" -lt 5 ]; then
      while IFS= read -r header; do
        if [ -e "$widgets_dir/$header" ] || [[ $header == QtWidgets/* ]]; then
          echo "$file includes the widget header <$header>"
          failures=$((failures + 1))
        fi
      done < <(sed -n 's/^#include <\([^>]*\)>.*/\1/p' "$file")
    fi
  done
done
[ "$failures" -eq 0 ] && echo "every include points down the stack"
exit "$failures"
