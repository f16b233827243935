#!/usr/bin/env bash
# The demo gift as a person starts it: the opening splash with the gift's
# message, Enter presses "Play...", the board shows exactly the scattered
# pieces the game lays out, a resize re-lays the board, hiding the toolbar
# gives the board its space, and closing goes through the closing splash and
# ends the program with status 0.
set -euo pipefail
build=$(cd "$1" && pwd)
gift="$build/demo-gift"
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
shot() { import -window root "$work/$1.png"; }
crop() { convert "$work/$1.png" -crop "$2" +repage "$work/$3.png"; }
# Number of pixels of colour $2 in picture $1.
count_colour() {
  local size differing
  size=$(identify -format '%wx%h' "$1")
  convert -size "$size" "xc:$2" "$work/solid.png"
  differing=$(compare -metric AE "$1" "$work/solid.png" null: 2>&1 || true)
  echo $(( ${size%x*} * ${size#*x} - differing ))
}
# Visible windows named "Tessarine Gift" of size $1 (e.g. 434x414).
windows_of_size() {
  local w geometry
  for w in $(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null); do
    # A window may close between the search and the question.
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    [ "${WIDTH}x$HEIGHT" = "$1" ] && echo "$w"
  done
  return 0
}
wait_for() {
  local i
  for i in $(seq 100); do
    result=$("$@" | head -n1)
    [ -n "$result" ] && return 0
    sleep 0.1
  done
  return 1
}

QT_QPA_PLATFORM=xcb "$gift" >"$work/player.log" 2>&1 &
pid=$!

# The opening splash shows the gift's message on its cream memo in navy text.
wait_for windows_of_size 434x414 || { cat "$work/player.log"; fail "no opening splash"; }
# The splash shows while the puzzle is built, then again as a window that
# waits for the player: look for it once more.
sleep 1.5
wait_for windows_of_size 434x414 || fail "the opening splash did not wait for Play"
splash=$result
eval "$(xdotool getwindowgeometry --shell "$splash")"
shot opening
crop opening "380x180+$((X + 19))+$((Y + 207))" memo
cream=$(count_colour "$work/memo.png" 'rgb(255,251,240)')
navy=$(count_colour "$work/memo.png" 'rgb(0,0,128)')
echo "memo: $cream cream pixels, $navy navy pixels"
[ "$cream" -gt 30000 ] && [ "$navy" -gt 300 ] || fail "the splash does not show the opening message"

xdotool key Return
main=""
wait_for windows_of_size 603x501 || fail "no main window"
main=$result
sleep 1.5
[ -z "$(windows_of_size 434x414)" ] || fail "the splash is still open after Enter"

# The play area is the window's width below the menu bar and the 41-pixel
# toolbar, above the 28-pixel status line; the menu bar's height depends on
# the fonts, so every likely height is tried against the game's own board.
eval "$(xdotool getwindowgeometry --shell "$main")"
shot board
matched=""
for menu in $(seq 16 40); do
  height=$((HEIGHT - menu - 41 - 28))
  "$tool" render "$gift" --out "$work/expected.png" --layout scattered --board "${WIDTH}x$height" >/dev/null
  crop board "${WIDTH}x$height+$X+$((Y + menu + 41))" actual
  if [ "$(compare -metric AE "$work/expected.png" "$work/actual.png" null: 2>&1 || true)" = 0 ]; then
    matched=$menu
    break
  fi
done
[ -n "$matched" ] || fail "the board on the screen is not the game's scattered board"
echo "board of ${WIDTH}x$height matches the game's layout (menu bar $matched pixels)"
top=$((Y + matched))

# A larger window: the whole play area is board, nothing left unpainted.
xdotool windowsize "$main" 900 700
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" -eq 900 ] || fail "the window did not resize"
shot resized
crop resized "900x$((700 - matched - 41 - 28))+$X+$((top + 41))" resized-board
# The picture has a few black pixels of its own; an area left unpainted
# would be a solid block.
black=$(count_colour "$work/resized-board.png" 'rgb(0,0,0)')
[ "$black" -lt 2000 ] || fail "$black pixels of the resized play area were not painted"
crop resized "300x100+$((X + 600))+$((top + 41 + 500))" corner
[ "$(convert "$work/corner.png" -format '%k' info:)" -gt 1 ] || fail "the new corner of the board is empty"

# Without the toolbar the board starts right below the menu bar.
crop resized "900x41+$X+$top" toolbar-before
# The keyboard goes to the window under the pointer: a click on the status
# line gives it the focus without touching the board.
xdotool mousemove $((X + 100)) $((Y + 700 - 10)) click 1
sleep 0.3
xdotool key alt+v
sleep 0.5
xdotool key t
sleep 1.5
shot notoolbar
crop notoolbar "900x41+$X+$top" toolbar-after
[ "$(compare -metric AE "$work/toolbar-before.png" "$work/toolbar-after.png" null: 2>&1 || true)" != 0 ] ||
  fail "the toolbar is still there"
crop notoolbar "900x$((700 - matched - 28))+$X+$top" taller-board
black=$(count_colour "$work/taller-board.png" 'rgb(0,0,0)')
[ "$black" -lt 2000 ] || fail "$black pixels of the taller play area were not painted"

# File > Exit: the closing splash, then the program ends.
xdotool key alt+f
sleep 0.5
xdotool key x
wait_for windows_of_size 434x414 || fail "no closing splash"
closing=$result
sleep 0.5
xdotool key Return
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "the player is still running after the closing splash"
status=0
wait $pid || status=$?
[ "$status" -eq 0 ] || { cat "$work/player.log"; fail "the player ended with status $status"; }
echo "player window: all checks passed"
