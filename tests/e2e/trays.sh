#!/usr/bin/env bash
# Sorting into a tray with the mouse, checked on screenshots: New Tray on the
# board's popup makes the first tray at its place with the tray bar below the
# board; a piece dragged into the tray shows there, where it was dropped, and
# has left the board; the tray's close box takes the tray and the piece off
# the board, which shows its own background there again; the tray's button on
# the bar opens it again exactly as it was, the piece in it; File > Exit ends
# the player with status 0.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

# The first tray's place on the board, its inner area (inside the 8-pixel
# sides and the 24-pixel title) and the middle of its close box.
tray_x=20 tray_y=20 tray_w=200 tray_h=150
inner_x=$((tray_x + 8)) inner_y=$((tray_y + 24)) inner_w=$((tray_w - 16)) inner_h=$((tray_h - 32))
close_x=$((tray_x + tray_w - 15)) close_y=$((tray_y + 12))
tray_geometry="${tray_w}x$tray_h+$tray_x+$tray_y"
tray_cover=(-draw "rectangle $tray_x,$tray_y $((tray_x + tray_w - 1)),$((tray_y + tray_h - 1))")
# A new tray's colour, 12615935 ($00C080FF), in which its body starts.
tray_colour='#FF80C0'
# The tray bar below the board, and its first button's middle.
bar_h=30 button_x=$((26 + 24)) button_y=$((3 + 12))

# Board points to screen points.
screen_x() { echo $((board_x + $1)); }
screen_y() { echo $((board_y + $1)); }
# colour_at NAME X Y: the pixel's colour as #RRGGBB.
colour_at() { convert "$work/$1.png" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n1; }
# where_differ A B: the box around the pixels in which pictures A and B of
# one size differ, as WxH+X+Y.
where_differ() {
  compare "$1" "$2" -compose src -highlight-color white -lowlight-color black - 2>/dev/null |
    convert - -trim -format '%wx%h%O' info:
}
# masked IN MASK OUT: IN where MASK is white, black elsewhere.
masked() { convert "$1" "$2" -compose multiply -composite "$3"; }
# drag X0 Y0 X1 Y1: presses the left button at board point (X0, Y0), moves to
# (X1, Y1) in steps as a hand does and releases there.
drag() {
  local step
  xdotool mousemove "$(screen_x "$1")" "$(screen_y "$2")"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for step in $(seq 10); do
    xdotool mousemove "$(screen_x $(($1 + ($3 - $1) * step / 10)))" "$(screen_y $(($2 + ($4 - $2) * step / 10)))"
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}
# click_at X Y: the pointer goes to the board point in steps, as a hand
# moves it, since the player lets go of a pressed close box only on a move
# away from it, and clicks there.
click_at() {
  local step from_x from_y
  eval "$(xdotool getmouselocation --shell | sed -n 's/^X=/from_x=/p; s/^Y=/from_y=/p')"
  for step in $(seq 10); do
    xdotool mousemove $((from_x + ($(screen_x "$1") - from_x) * step / 10)) \
      $((from_y + ($(screen_y "$2") - from_y) * step / 10))
    sleep 0.05
  done
  sleep 0.2
  xdotool click 1
}
# near X Y W H X2 Y2 W2 H2 MARGIN: the rectangles come within MARGIN pixels.
near() { (($1 < $5 + $7 + $9 && $5 < $1 + $3 + $9 && $2 < $6 + $8 + $9 && $6 < $2 + $4 + $9)); }
# shrunk_y Y: about where a piece at height Y of the first board lies once the
# bar has taken its height from the board.
shrunk_y() { echo $(($1 * board_h / (board_h + bar_h))); }
# ring IN OUT W H X Y: the one-pixel ring around the rectangle of picture IN,
# black inside it; frame IN OUT W H X Y: the rectangle's own outermost pixels,
# black inside them.
ring() {
  convert "$work/$1.png" -crop "$(($3 + 2))x$(($4 + 2))+$(($5 - 1))+$(($6 - 1))" +repage \
    -fill black -draw "rectangle 1,1 $3,$4" "$work/$2.png"
}
frame() {
  convert "$work/$1.png" -crop "$3x$4+$5+$6" +repage -fill black -draw "rectangle 1,1 $(($3 - 2)),$(($4 - 2))" \
    "$work/$2.png"
}

# Pieces smaller than the tray's inner area, so that one fits in it whole.
convert -size 210x150 gradient:'#e0a030-#3050c0' \
  -fill '#c03060' -draw 'circle 60,55 60,25' -fill '#30b060' -draw 'rectangle 120,30 190,90' \
  -fill '#f0f0d0' -draw 'polygon 20,140 80,100 140,145' "$work/picture.png"
# This seed leaves the place of the first tray free of pieces, and one piece
# alone on the board.
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 26 --style classic --oddness 3 >/dev/null

open_gift "$work/gift"
play_from_splash
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen ||
  fail "the board is not the game's scattered board; see $work/start-screen.png"
echo "board of ${board_w}x$board_h at $board_x,$board_y (menu bar $menu pixels)"
"$tool" render "$work/gift" --out "$work/scattered.png" --layout scattered --board "${board_w}x$board_h" --list \
  >"$work/pieces.txt"
x=() y=() w=() h=()
while read -r word index _ px _ py _ pw _ ph _; do
  [ "$word" = piece ] || continue
  x[index]=$px y[index]=$py w[index]=$pw h[index]=$ph
done <"$work/pieces.txt"
[ "${#x[@]}" = 6 ] || fail "the game lists ${#x[@]} pieces, not 6"

# The tray bar takes its height from the board, whose pieces move up in
# proportion: no piece may come near the tray's place.
for i in "${!x[@]}"; do
  near "${x[i]}" $((y[i] - bar_h)) "${w[i]}" $((h[i] + bar_h)) $tray_x $tray_y $tray_w $tray_h 4 &&
    fail "piece $i may come to lie under the tray: choose another seed"
done
# A right click on free board, away from the pieces and the tray.
click_x=-1
for ((cx = board_w - 20; cx >= 20 && click_x < 0; cx -= 10)); do
  for ((cy = board_h - 20; cy >= 20 && click_x < 0; cy -= 10)); do
    near $cx $cy 1 1 $tray_x $tray_y $tray_w $tray_h 10 && continue
    free=1
    for i in "${!x[@]}"; do near $cx $cy 1 1 "${x[i]}" "${y[i]}" "${w[i]}" "${h[i]}" 10 && free=0 && break; done
    ((free)) && click_x=$cx click_y=$cy
  done
done
((click_x >= 0)) || fail "no free point on the board for the popup: choose another seed"
xdotool mousemove "$(screen_x $click_x)" "$(screen_y $click_y)"
sleep 0.2
xdotool click 3
sleep 0.5
xdotool key t
# The bar appears, the board shrinks and the tray zooms open.
sleep 1.5
board_h=$((board_h - bar_h))
board_shot tray
# The board's own picture is a vertical gradient: one column of it that
# neither the tray nor a piece covers gives all of it. The shrink moves the
# pieces only up and down.
free_column=-1
for ((column = 0; column < board_w && free_column < 0; column++)); do
  near $column 0 1 1 $tray_x 0 $tray_w 1 3 && continue
  free_column=$column
  for i in "${!x[@]}"; do
    near $column 0 1 1 "${x[i]}" 0 "${w[i]}" 1 3 && free_column=-1 && break
  done
done
((free_column >= 0)) || fail "every column of the board holds a piece or the tray: choose another seed"
convert "$work/tray.png" -crop "1x$board_h+$free_column+0" +repage -scale "${board_w}x$board_h!" "$work/mural.png"
crop mural "$tray_geometry" mural-tray

# The tray lies at its place: the body shows the tray's colour at both ends
# of its first row, the board's background touches it all round, and the
# tray's outermost pixels are its frame's, not the board's.
for at in "$inner_x $inner_y" "$((inner_x + inner_w - 1)) $inner_y"; do
  read -r ax ay <<<"$at"
  colour=$(colour_at tray "$ax" "$ay")
  [ "$colour" = "$tray_colour" ] ||
    fail "no tray body at board $ax,$ay after New Tray: $colour, not $tray_colour; see $work/tray.png"
done
ring tray tray-around $tray_w $tray_h $tray_x $tray_y
ring mural mural-around $tray_w $tray_h $tray_x $tray_y
differs=$(differing "$work/tray-around.png" "$work/mural-around.png")
[ "$differs" = 0 ] || fail "the tray is not ${tray_w}x$tray_h at $tray_x,$tray_y:" \
  "$differs pixels around it are not the board's; see $work/tray.png"
frame tray tray-edge $tray_w $tray_h $tray_x $tray_y
frame mural mural-edge $tray_w $tray_h $tray_x $tray_y
differs=$(differing "$work/tray-edge.png" "$work/mural-edge.png")
[ "$differs" = $((2 * (tray_w + tray_h) - 4)) ] ||
  fail "the tray's frame does not show all round it; see $work/tray.png"
# The zoom that opened the tray left no outline behind.
covered=("${tray_cover[@]}")
for i in "${!x[@]}"; do covered+=(-draw "rectangle $((x[i] - 3)),0 $((x[i] + w[i] + 2)),$board_h"); done
convert "$work/tray.png" -fill magenta "${covered[@]}" "$work/tray-free.png"
convert "$work/mural.png" -fill magenta "${covered[@]}" "$work/mural-free.png"
differs=$(differing "$work/tray-free.png" "$work/mural-free.png")
[ "$differs" = 0 ] || fail "after New Tray $differs pixels within" \
  "$(where_differ "$work/tray-free.png" "$work/mural-free.png") of the board, where neither the tray nor" \
  "a piece lies, are not the board's; see $work/tray.png"
echo "new tray: ${tray_w}x$tray_h at $tray_x,$tray_y, opened from the board's popup, no trails"

# The pieces on the shrunk board: what differs from the board's background,
# away from the tray, in blobs. The taken piece lies alone, all of it on the
# board and small enough for the tray; its blob, at its own columns and of
# its own size, gives its new place.
convert "$work/tray.png" "$work/mural.png" -compose difference -composite -separate -evaluate-sequence max \
  -threshold 0 -fill black "${tray_cover[@]}" "$work/pieces-mask.png"
convert "$work/pieces-mask.png" -define connected-components:verbose=true \
  -define connected-components:area-threshold=20 -connected-components 8 null: |
  awk '$NF ~ /gray\(255\)|#FFFFFF|white/ && $(NF - 1) >= 500 { print $2 }' >"$work/blobs.txt"
blob=
for i in "${!x[@]}"; do
  ((w[i] < inner_w && h[i] < inner_h && x[i] > 0 && x[i] + w[i] < board_w)) || continue
  alone=1
  for j in "${!x[@]}"; do
    ((j != i)) && near "${x[i]}" "$(shrunk_y "${y[i]}")" "${w[i]}" "${h[i]}" \
      "${x[j]}" "$(shrunk_y "${y[j]}")" "${w[j]}" "${h[j]}" 12 && alone=0 && break
  done
  ((alone)) || continue
  blob=$(grep -x "${w[i]}x${h[i]}+${x[i]}+[0-9]*" "$work/blobs.txt" | head -n1) && break
done
[ -n "$blob" ] || fail "no piece lies alone on the board after New Tray: choose another seed; see $work/tray.png"
IFS='x+' read -r bw bh bx by <<<"$blob"
((by > 0 && by + bh < board_h)) || fail "the piece at $blob does not lie wholly on the board"
crop pieces-mask "$blob" piece-mask
crop tray "$blob" piece-board
masked "$work/piece-board.png" "$work/piece-mask.png" "$work/piece.png"
# The grip: a point well inside the piece, the nearest to its box's middle.
grip=$(convert "$work/piece-mask.png" -morphology Erode Disk:5 txt:- | awk -v mx=$((bw / 2)) -v my=$((bh / 2)) '
  /#FFFFFF|gray\(255\)|white/ {
    split($1, at, "[,:]"); d = (at[1] - mx) ^ 2 + (at[2] - my) ^ 2
    if (best == "" || d < best) { best = d; point = at[1] " " at[2] }
  }
  END { print point }')
[ -n "$grip" ] || fail "the piece at $blob is too thin to take"
read -r gx gy <<<"$grip"
gx=$((bx + gx)) gy=$((by + gy))
# Its box goes to the middle of the tray's inner area.
dx=$((inner_x + (inner_w - bw) / 2 - bx)) dy=$((inner_y + (inner_h - bh) / 2 - by))
drag $gx $gy $((gx + dx)) $((gy + dy))
board_shot dropped
crop dropped "${bw}x$bh+$((bx + dx))+$((by + dy))" piece-tray-board
masked "$work/piece-tray-board.png" "$work/piece-mask.png" "$work/piece-tray.png"
differs=$(differing "$work/piece.png" "$work/piece-tray.png")
[ "$differs" = 0 ] || fail "the piece dropped into the tray differs from itself in $differs pixels;" \
  "see $work/piece.png and $work/piece-tray.png"
crop dropped "$blob" old-place
crop mural "$blob" mural-old-place
differs=$(differing "$work/old-place.png" "$work/mural-old-place.png")
[ "$differs" = 0 ] || fail "the piece dropped into the tray still shows on the board in $differs pixels;" \
  "see $work/dropped.png"
crop dropped "$tray_geometry" tray-with-piece
echo "drag: the piece at $blob lies in the tray at $((bx + dx)),$((by + dy))"

# The close box: the tray and its piece leave the board, which shows its
# background there, and nothing else changes.
click_at $close_x $close_y
sleep 1
board_shot closed
crop closed "$tray_geometry" closed-tray
differs=$(differing "$work/closed-tray.png" "$work/mural-tray.png")
[ "$differs" = 0 ] || fail "after the close box $differs pixels of the tray's place are not the board's;" \
  "see $work/closed.png"
convert "$work/dropped.png" -fill magenta "${tray_cover[@]}" "$work/dropped-outside.png"
convert "$work/closed.png" -fill magenta "${tray_cover[@]}" "$work/closed-outside.png"
differs=$(differing "$work/dropped-outside.png" "$work/closed-outside.png")
[ "$differs" = 0 ] || fail "closing the tray changed $differs pixels of the board away from it; see $work/closed.png"
echo "close box: the tray and its piece are gone from the board"

# Its button on the bar opens it again: the same tray with the same piece.
click_at $button_x $((board_h + button_y))
# The zoom from the button takes a fifth of a second.
sleep 1
board_shot reopened
crop reopened "$tray_geometry" reopened-tray
differs=$(differing "$work/tray-with-piece.png" "$work/reopened-tray.png")
[ "$differs" = 0 ] || fail "the reopened tray differs from the tray as it was closed in $differs pixels;" \
  "see $work/tray-with-piece.png and $work/reopened-tray.png"
differs=$(differing "$work/dropped.png" "$work/reopened.png")
[ "$differs" = 0 ] || fail "closing and reopening the tray changed $differs pixels of the board away from it;" \
  "see $work/dropped.png and $work/reopened.png"
echo "tray button: the tray is back with the piece in it"

focus_main
exit_player
echo "trays: all checks passed"
