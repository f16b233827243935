#!/usr/bin/env bash
# At a display scale of 200 % (QT_SCALE_FACTOR=2 on a 3840 x 2160 screen) the
# board is drawn at the screen's own pixels: it is the game's board of the
# play area's device size, pixel for pixel, and not a board of half that size
# magnified, in which every aligned 2 x 2 block would be one colour. A piece
# dragged with the mouse lands exactly where the pointer takes it in device
# pixels, and dropped next to its neighbour it joins it.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 3840x2160x24
export XDG_RUNTIME_DIR="$work" QT_SCALE_FACTOR=2
scale=2

# piece_shows SHOT I: piece I's picture, where its mask says, is on board
# shot SHOT at the piece's place.
piece_shows() {
  convert "$work/$1.png" -crop "${w[$2]}x${h[$2]}+${x[$2]}+${y[$2]}" +repage \
    "$work/mask$2.png" -compose multiply -composite "$work/$1-piece$2.png"
  convert "$work/piece$2.png" "$work/mask$2.png" -compose multiply -composite "$work/$1-model$2.png"
  [ "$(differing "$work/$1-piece$2.png" "$work/$1-model$2.png")" = 0 ]
}
# overlaps I X Y: piece I's box, with room for a shadow, meets the box of
# the moved piece at X, Y.
overlaps() {
  local margin=20
  (($2 < x[$1] + w[$1] + margin && x[$1] < $2 + w[piece] + margin &&
    $3 < y[$1] + h[$1] + margin && y[$1] < $3 + h[piece] + margin))
}

convert -size 320x240 gradient:'#e0a030-#3050c0' \
  -fill '#c03060' -draw 'circle 80,80 80,30' -fill '#30b060' -draw 'rectangle 170,40 280,130' \
  -fill '#602080' -draw 'ellipse 255,195 45,28 0,360' "$work/picture.png"
cut=(--picture "$work/picture.png" --pieces 6 --seed 22 --style classic --oddness 3)
"$tool" make -o "$work/gift" "${cut[@]}" >/dev/null
# The same puzzle on a white board: the pixels the two boards share are the
# pieces'.
"$tool" make -o "$work/white-gift" "${cut[@]}" --background '#FFFFFF' >/dev/null

open_gift "$work/gift"
xdotool key Return
main=
for _ in $(seq 100); do
  main=$(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null | while read -r window; do
    [ -n "$(windows_of_size "$(splash_size)" | grep -x "$window")" ] || echo "$window"
  done | head -n1)
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || fail "no main window"
sleep 2
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen ||
  fail "the board is not the game's board of the play area's device size; see $work/start-screen.png"
crop start-screen "${board_w}x$board_h+$board_x+$board_y" start
echo "board of ${board_w}x$board_h device pixels at $board_x,$board_y"
# The play area lies at logical pixels, so on the screen it starts at even
# device pixels and its 2 x 2 blocks are the magnified pixels of a board
# drawn at half the resolution.
((board_x % 2 == 0 && board_y % 2 == 0)) || fail "the board lies at odd device pixels"
convert "$work/start.png" -sample 50% -sample 200% "$work/doubled.png"
fine=$(differing "$work/start.png" "$work/doubled.png")
echo "$fine pixels differ from their 2 x 2 block's first"
((fine > 1000)) || fail "the board is drawn at half resolution and doubled; see $work/start.png"

# Where the game puts every piece on this board, its picture and its mask.
"$tool" render "$work/gift" --out "$work/scattered.png" --layout scattered --board "${board_w}x$board_h" --list \
  >"$work/pieces.txt"
"$tool" render "$work/white-gift" --out "$work/scattered-white.png" --layout scattered \
  --board "${board_w}x$board_h" >/dev/null
x=() y=() w=() h=() home_x=() home_y=()
while read -r word index _ px _ py _ pw _ ph _ hx hy _ _; do
  [ "$word" = piece ] || continue
  x[index]=$px y[index]=$py w[index]=$pw h[index]=$ph home_x[index]=$hx home_y[index]=$hy
  convert "$work/scattered.png" -crop "${pw}x$ph+$px+$py" +repage "$work/piece$index.png"
  convert "$work/scattered-white.png" -crop "${pw}x$ph+$px+$py" +repage "$work/white$index.png"
  compare "$work/piece$index.png" "$work/white$index.png" -highlight-color black -lowlight-color white \
    -compose src "$work/mask$index.png" 2>/dev/null || true
done <"$work/pieces.txt"
[ "${#x[@]}" = 6 ] || fail "the game lists ${#x[@]} pieces, not 6"

# A piece and its right-hand neighbour, with room on the board to drop the
# piece a few device pixels off the place where it fits the neighbour. Qt's
# X11 platform gives some pointer positions only to the logical pixel, so the
# pointer moves by whole logical pixels: even device pixels.
piece= neighbour=
for i in "${!x[@]}"; do
  for j in "${!x[@]}"; do
    ((home_y[j] == home_y[i] && home_x[j] > home_x[i])) || continue
    to_x=$((x[j] - (home_x[j] - home_x[i]) + 5)) to_y=$((y[j] - (home_y[j] - home_y[i]) + 3))
    to_x=$((to_x + (to_x - x[i]) % 2)) to_y=$((to_y + (to_y - y[i]) % 2))
    off_x=$((to_x - x[j] + home_x[j] - home_x[i])) off_y=$((to_y - y[j] + home_y[j] - home_y[i]))
    ((to_x >= 0 && to_y >= 0 && to_x + w[i] + 20 <= board_w && to_y + h[i] + 20 <= board_h)) || continue
    piece=$i clear=1
    for k in "${!x[@]}"; do
      [ "$k" = "$i" ] || [ "$k" = "$j" ] || ! overlaps "$k" "$to_x" "$to_y" || clear=0
    done
    ((clear)) && neighbour=$j && break 2
  done
done
[ -n "$neighbour" ] || fail "no piece can be dropped beside its neighbour on this board: choose another seed"
piece_shows start "$piece" || fail "piece $piece is not where the game put it; see $work/start.png"

# The middle of the piece's box, on the piece, is where the pointer takes it.
grab_x=$((w[piece] / 2 + (x[piece] + w[piece] / 2) % 2)) grab_y=$((h[piece] / 2 + (y[piece] + h[piece] / 2) % 2))
[ "$(convert "$work/mask$piece.png" -format "%[fx:p{$grab_x,$grab_y}.r]" info:)" = 1 ] ||
  fail "the middle of piece $piece is not on the piece"
from_x=$((board_x + x[piece] + grab_x)) from_y=$((board_y + y[piece] + grab_y))
xdotool mousemove "$from_x" "$from_y"
sleep 0.2
xdotool mousedown 1
sleep 0.2
for step in $(seq 10); do
  xdotool mousemove $((from_x + (to_x - x[piece]) * step / 10)) $((from_y + (to_y - y[piece]) * step / 10))
  sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 1
x[piece]=$to_x y[piece]=$to_y
board_shot dropped
piece_shows dropped "$piece" ||
  fail "piece $piece is not where the pointer took it ($to_x,$to_y); see $work/dropped.png"
# Joined, the neighbour moved onto the piece by the same few pixels.
x[neighbour]=$((x[neighbour] + off_x)) y[neighbour]=$((y[neighbour] + off_y))
piece_shows dropped "$neighbour" ||
  fail "piece $piece did not join its neighbour $neighbour; see $work/dropped.png"
echo "piece $piece dragged to $to_x,$to_y in device pixels and joined piece $neighbour, $off_x,$off_y off"
focus_main
exit_player
