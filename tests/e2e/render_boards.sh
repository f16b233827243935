#!/usr/bin/env bash
# tessarine-gift render: the solved board without outlines is the gift's
# picture pixel for pixel; every layout and outline gives a board of the
# right size; bad requests, scales the game refuses and damaged gifts are
# refused with exit status 2.
set -euo pipefail

build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
size_of() { identify -format '%wx%h' "$1"; }
# A refused render: exit status 2, one line on stderr and no board written.
expect_refused() {
  local what=$1
  shift
  set +e
  "$tool" render "$@" --out refused.png >/dev/null 2>err.txt
  local status=$?
  set -e
  [ $status -eq 2 ] || fail "$what gave status $status"
  # A wrong command line is followed by the command's usage.
  [ "$(grep -vc '^usage: ' err.txt)" -eq 1 ] || fail "$what gave $(wc -l <err.txt) lines on stderr"
  [ ! -e refused.png ] || fail "$what left a board"
  rm -f refused.png
}

"$build/tools/demo/demo-picture" picture.png
convert picture.png -resize 320x240! -quality 92 -interlace none picture.jpg
"$tool" make -o gift --picture picture.jpg --pieces 30 --seed 77 --style mix --oddness 6 >/dev/null

# The pieces put back at home, without rims, give back the decoded picture.
"$tool" render gift --out solved.png --layout solved --outline none >/dev/null
djpeg -outfile reference.ppm picture.jpg
differing=$(compare -metric AE reference.ppm solved.png null: 2>&1 || true)
[ "$differing" = "0" ] || fail "solved board differs from the picture in $differing pixels"

for layout in solved scattered grid edge; do
  for outline in none paper card wood; do
    "$tool" render gift --out "$layout-$outline.png" --layout "$layout" --outline "$outline" >/dev/null ||
      fail "render $layout $outline"
  done
done
[ "$(size_of solved-card.png)" = "320x240" ] || fail "solved board is $(size_of solved-card.png)"
[ "$(size_of grid-wood.png)" = "1024x768" ] || fail "grid board is $(size_of grid-wood.png)"
# Rims change the solved board; the scattered board differs from the grid.
[ "$(compare -metric AE solved-none.png solved-card.png null: 2>&1 || true)" != "0" ] || fail "card rims missing"
[ "$(compare -metric AE scattered-card.png grid-card.png null: 2>&1 || true)" != "0" ] || fail "grid = scattered"

"$tool" render gift --out small.png --layout scattered --board 640x480 --scale 50 --rotate --shadows >/dev/null
[ "$(size_of small.png)" = "640x480" ] || fail "board option ignored"
# The same gift always gives the same board.
"$tool" render gift --out again.png --layout scattered --board 640x480 --scale 50 --rotate --shadows >/dev/null
cmp -s small.png again.png || fail "two renders of one gift differ"

for bad in "--out x.png --layout spiral" "--out x.png --board 10" "--out x.png --scale 5" "--layout grid"; do
  set +e
  # shellcheck disable=SC2086
  "$tool" render gift $bad >/dev/null 2>err.txt
  status=$?
  set -e
  [ $status -eq 2 ] || fail "render $bad gave status $status"
done
set +e
"$tool" render picture.png --out x.png >/dev/null 2>&1
status=$?
set -e
[ $status -eq 2 ] || fail "a file that is no gift gave status $status"
[ ! -e x.png ] || fail "a refused render left x.png"

# Scales the option allows but the game refuses: cells too small for their
# outlines, and a cut beyond the picture limit.
"$tool" make -o many --picture picture.jpg --pieces 600 --seed 5 >/dev/null
expect_refused "render --scale 10 of 600 pieces" many --scale 10
convert picture.png -resize 2100x2000! -quality 80 -interlace none large.jpg
"$tool" make -o large --picture large.jpg --pieces 30 --seed 5 >/dev/null
expect_refused "render --scale 400 of a large picture" large --scale 400

# A gift cut short has lost its trailer; a gift whose picture is no JPEG.
head -c -1000 gift >truncated
expect_refused "a truncated gift" truncated
offset=$("$tool" info gift | sed -n 's/^PictureOffset: //p')
cp gift notjpeg
printf 'no JPEG in here' | dd of=notjpeg bs=1 seek="$offset" conv=notrunc status=none
expect_refused "a gift whose picture is no JPEG" notjpeg

[ $failures -eq 0 ] && echo "render boards: all good"
exit $failures
