#!/usr/bin/env bash
# tessarine-gift cut: the grid line, the label map of every style, repeatable
# output, the older layout and clear refusals of bad options.
set -euo pipefail
tool="$1/tessarine-gift"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
byte() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }

common=(--width 640 --height 480 --pieces 54 --seed 12345)
for style in 1 2 3 4 5 6; do
  line=$("$tool" cut "${common[@]}" --oddness 5 --style "$style" --labels "$work/$style.bin" --png "$work/$style.png" 2>/dev/null)
  [ "$line" = "columns 9 rows 6 pieces 54" ] || fail "style $style printed '$line'"
  [ "$(stat -c %s "$work/$style.bin")" = 307200 ] || fail "style $style label map size"
  [ "$(head -c 8 "$work/$style.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "style $style picture"
done
"$tool" cut "${common[@]}" --oddness 5 --style 1 --labels "$work/again.bin" >/dev/null 2>&1
cmp -s "$work/1.bin" "$work/again.bin" || fail "two cuts differ"
cmp -s "$work/1.bin" "$work/2.bin" && fail "Classic and Blip cut alike"
"$tool" cut "${common[@]}" --oddness 5 --style 1 --format-version 3 --labels "$work/old.bin" >/dev/null 2>&1
cmp -s "$work/1.bin" "$work/old.bin" && fail "the older layout cut like the main one"

# Squares without oddness: column boundaries at 640 j div 9 (71, 142, ...),
# rows at 80 i; cell (1,1) owns its right edge, label 0x15 = 21; cell (2,2)
# label 0x1A = 26.
"$tool" cut "${common[@]}" --oddness 0 --style 3 --labels "$work/square.bin" >/dev/null 2>&1
[ "$(byte "$work/square.bin" $((40 * 640 + 71)))" = 21 ] || fail "label of cell (1,1)"
[ "$(byte "$work/square.bin" $((120 * 640 + 142)))" = 26 ] || fail "label of cell (2,2)"
[ "$(byte "$work/square.bin" $((40 * 640 + 40)))" = 0 ] || fail "inside of cell (1,1)"

expect_refusal() {
  local status=0
  "$tool" cut "$@" >"$work/out" 2>"$work/err" || status=$?
  [ "$status" = 2 ] || fail "exit status $status for: $*"
  [ ! -s "$work/out" ] || fail "output for: $*"
  grep -q '^tessarine-gift cut: ' "$work/err" || fail "no message for: $*"
}
expect_refusal "${common[@]}" --oddness 11 --style 1
expect_refusal "${common[@]}" --oddness 5 --style 7
expect_refusal "${common[@]}" --oddness 5 --style 1 --format-version 0
expect_refusal --width 640 --height 480 --pieces 54 --oddness 5 --style 1
expect_refusal "${common[@]}" --oddness 5 --style 1 --bogus 3
expect_refusal "${common[@]}" --oddness x --style 1
echo "cut command: ok"
