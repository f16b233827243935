#!/usr/bin/env bash
# A join taken back: a piece dragged next to its right-hand neighbour joins
# it; Ctrl+Z shows the board exactly as it was before the drag, the two
# apart; Ctrl+Y joins them again.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"


# The picture and the cut of the mouse play test, whose pieces lie apart
# with room for this join.
convert -size 320x240 gradient:'#e0a030-#3050c0' \
  -fill '#c03060' -draw 'circle 80,80 80,30' -fill '#30b060' -draw 'rectangle 170,40 280,130' \
  -fill '#f0f0d0' -draw 'polygon 40,220 130,150 220,226' -fill '#602080' -draw 'ellipse 255,195 45,28 0,360' \
  "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 22 --style classic --oddness 3 >/dev/null

open_gift "$work/gift"
play_from_splash
xdotool windowmove "$main" 20 20 windowsize "$main" 1200 940
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$main")"
focus_main
xdotool key alt+t
sleep 0.5
xdotool key r
sleep 0.5
xdotool key y
sleep 1
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen || fail "after the restart the board is not the game's"
board_shot start
"$tool" render "$work/gift" --out "$work/scattered.png" --layout scattered --board "${board_w}x$board_h" --list \
  >"$work/pieces.txt"
while read -r word index _ px _ py _ pw _ ph _ hx hy _ turns; do
  [ "$word" = piece ] || continue
  x[index]=$px y[index]=$py w[index]=$pw h[index]=$ph home_x[index]=$hx home_y[index]=$hy
done <"$work/pieces.txt"

# Piece 0 dropped a few pixels off where it fits piece 1.
to_x=$((x[1] - (home_x[1] - home_x[0]) + 6))
to_y=$((y[1] - (home_y[1] - home_y[0]) + 4))
from_x=$((x[0] + w[0] / 2)) from_y=$((y[0] + h[0] / 2))
xdotool mousemove $((board_x + from_x)) $((board_y + from_y))
sleep 0.2
xdotool mousedown 1
sleep 0.2
for step in $(seq 10); do
  xdotool mousemove $((board_x + from_x + (to_x - x[0]) * step / 10)) $((board_y + from_y + (to_y - y[0]) * step / 10))
  sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 1
board_shot joined
[ "$(differing "$work/start.png" "$work/joined.png")" != 0 ] || fail "the drag changed nothing"

focus_main
xdotool key ctrl+z
sleep 1
board_shot undone
differs=$(differing "$work/start.png" "$work/undone.png")
[ "$differs" = 0 ] || fail "after Ctrl+Z the board differs from the one before the join in $differs pixels"
echo "undo: the join is taken back, the board as before the drag"
xdotool key ctrl+y
sleep 1
board_shot redone
differs=$(differing "$work/joined.png" "$work/redone.png")
[ "$differs" = 0 ] || fail "after Ctrl+Y the board differs from the joined one in $differs pixels"
echo "redo: joined again"
exit_player
echo "undo: all checks passed"
