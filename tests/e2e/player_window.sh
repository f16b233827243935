#!/usr/bin/env bash
# The demo gift as a person starts it: the opening splash with the gift's
# message, Enter presses "Play..." (no music file is written), the board
# shows exactly the scattered pieces the game lays out, a resize re-lays the
# board, hiding the toolbar gives the board its space, and closing goes
# through the closing splash and ends the program with status 0.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work" XDG_STATE_HOME="$work/state"
# The gift's tune plays from memory: nothing of it reaches the temporary
# folder.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
# A copy of the demo gift: what the player keeps beside the gift stays in the
# work folder and never reaches the next run.
gift="$work/demo-gift"
cp "$build/demo-gift" "$gift"

# Number of pixels of colour $2 in picture $1.
count_colour() {
  local size
  size=$(identify -format '%wx%h' "$1")
  convert -size "$size" "xc:$2" "$work/solid.png"
  echo $(( ${size%x*} * ${size#*x} - $(differing "$1" "$work/solid.png") ))
}
# The opening splash shows the gift's message on its cream memo in navy text.
open_gift "$gift"
eval "$(xdotool getwindowgeometry --shell "$splash")"
shot opening
crop opening "380x180+$((X + 19))+$((Y + 207))" memo
cream=$(count_colour "$work/memo.png" 'rgb(255,251,240)')
navy=$(count_colour "$work/memo.png" 'rgb(0,0,128)')
echo "memo: $cream cream pixels, $navy navy pixels"
[ "$cream" -gt 30000 ] && [ "$navy" -gt 300 ] || fail "the splash does not show the opening message"

play_from_splash
music=$(find "$TMPDIR" -name '*.mid')
[ -z "$music" ] || fail "the music was written to $music"

shot board
find_board "$tool" "$gift" "$main" board || fail "the board on the screen is not the game's scattered board"
echo "board of ${board_w}x$board_h matches the game's layout (menu bar $menu pixels)"
top=$((Y + menu))

# A larger window: the whole play area is board, nothing left unpainted.
xdotool windowsize "$main" 900 700
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" -eq 900 ] || fail "the window did not resize"
shot resized
crop resized "900x$((700 - menu - 41 - 28))+$X+$((top + 41))" resized-board
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
[ "$(differing "$work/toolbar-before.png" "$work/toolbar-after.png")" != 0 ] ||
  fail "the toolbar is still there"
crop notoolbar "900x$((700 - menu - 28))+$X+$top" taller-board
black=$(count_colour "$work/taller-board.png" 'rgb(0,0,0)')
[ "$black" -lt 2000 ] || fail "$black pixels of the taller play area were not painted"

# File > Exit: the closing splash, then the program ends.
exit_player
echo "player window: all checks passed"
