#!/usr/bin/env bash
# Zoom and pan as a person does them: Ctrl+wheel over a piece shows it larger,
# the point under the pointer kept there, and crisp (at the picture's own
# resolution, never a magnified bitmap); a middle-button drag takes the view
# along with the pointer; Ctrl+0 gives back the first board, pixel for pixel.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

# A picture of coloured blots, which no part repeats, over fine noise, which
# a magnified piece shows with its pixels doubled.
convert -seed 7 -size 1600x1200 xc: +noise Random -blur 0x4 -auto-level \( -size 1600x1200 xc: +noise Random \) \
  -compose blend -define compose:args=25 -composite "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 20 --seed 5 --style classic --oddness 3 >/dev/null

# Half the side of the square about the pointer that is compared.
reach=30
# likeness A B: how alike the blots of two pictures of one size are, from -1
# to 1 (normalised cross-correlation), in hundredths. The fine noise, which
# each scale samples differently, is blurred away first; a part shifted by a
# few pixels is no longer alike.
likeness() {
  convert "$work/$1.png" -blur 0x2 "$work/$1-blots.png"
  convert "$work/$2.png" -blur 0x2 "$work/$2-blots.png"
  compare -metric NCC "$work/$1-blots.png" "$work/$2-blots.png" null: 2>&1 | awk '{ printf "%d", $1 * 100 }' || true
}
# doubled SHOT X Y: of the 64 x 64 pixels about board point (X, Y), the
# percentage that repeat their left or upper neighbour.
doubled() {
  crop "$1" "64x64+$(($2 - 32))+$(($3 - 32))" "$1-patch"
  local across down
  across=$(convert "$work/$1-patch.png" \( +clone -roll +1+0 \) -compose difference -composite -crop 63x64+1+0 \
    -colorspace gray -threshold 0 -format '%[fx:round(100 * (1 - mean))]' info:)
  down=$(convert "$work/$1-patch.png" \( +clone -roll +0+1 \) -compose difference -composite -crop 64x63+0+1 \
    -colorspace gray -threshold 0 -format '%[fx:round(100 * (1 - mean))]' info:)
  echo $((across > down ? across : down))
}

open_gift "$work/gift"
play_from_splash
xdotool windowmove "$main" 20 20 windowsize "$main" 1200 940
sleep 1.5
focus_main
# A restart lays the pieces out on the board of this window size, as the
# game's own board of that size.
xdotool key alt+t
sleep 0.5
xdotool key r
sleep 0.5
xdotool key y
sleep 1.5
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen || fail "the board is not the game's first board"
board_shot start
summary=$("$tool" render "$work/gift" --out "$work/scattered.png" --layout scattered --board "${board_w}x$board_h" \
  --list | tee "$work/pieces.txt" | head -n1)
fitted=${summary##* scale }
echo "board of ${board_w}x$board_h at $board_x,$board_y, pieces at $fitted %"

# The piece nearest the board's middle whose middle no other piece covers,
# pointed at there.
read -r at_x at_y < <(awk -v bw="$board_w" -v bh="$board_h" -v r="$reach" '
  $1 == "piece" { n++; x[n] = $4; y[n] = $6; w[n] = $8; h[n] = $10 }
  END {
    for (i = 1; i <= n; i++) {
      cx = x[i] + int(w[i] / 2); cy = y[i] + int(h[i] / 2); clear = 1
      for (j = 1; j <= n; j++)
        if (j != i && x[j] < cx + r && cx - r < x[j] + w[j] && y[j] < cy + r && cy - r < y[j] + h[j]) clear = 0
      d = (cx - bw / 2) ^ 2 + (cy - bh / 2) ^ 2
      if (clear && (best == "" || d < best)) { best = d; bx = cx; by = cy }
    }
    print bx, by
  }' "$work/pieces.txt")
[ -n "$at_x" ] || fail "no piece lies clear of the others: choose another seed"
crop start "$((2 * reach))x$((2 * reach))+$((at_x - reach))+$((at_y - reach))" start-part

# Notches up to the last zoom below the picture's own size: each looks a
# quarter closer.
notches=0 percent=$fitted
while :; do
  next=$(((percent * 125 + 50) / 100))
  ((next > percent)) || next=$((percent + 1))
  ((next <= 100)) || break
  percent=$next notches=$((notches + 1))
done
((notches >= 2)) || fail "the board's pieces are too large for this test: $fitted %"
xdotool mousemove $((board_x + at_x)) $((board_y + at_y))
sleep 0.3
xdotool keydown ctrl
for _ in $(seq "$notches"); do
  xdotool click 4
  sleep 0.4
done
xdotool keyup ctrl
sleep 2
board_shot zoomed
# The part about the pointer, brought back to the first board's size, is
# the part that was there: the piece is shown larger about the pointer.
side=$((2 * reach * percent / fitted))
crop zoomed "${side}x$side+$((at_x - side / 2))+$((at_y - side / 2))" zoomed-part
convert "$work/zoomed-part.png" -resize "$((2 * reach))x$((2 * reach))!" "$work/zoomed-back.png"
alike=$(likeness start-part zoomed-back)
echo "$notches notches to $percent %: the part under the pointer is $alike % like the first board's, shrunk back"
((alike >= 60)) || fail "the piece under the pointer is not shown larger about it; see $work/zoomed.png"
repeats=$(doubled zoomed "$at_x" "$at_y")
echo "$repeats % of the zoomed pixels repeat a neighbour; $(doubled start "$at_x" "$at_y") % on the first board"
((repeats < 30)) || fail "the zoomed piece is magnified: $repeats % of its pixels repeat a neighbour"

# A middle-button drag: the board moves with the pointer.
dx=-160 dy=-120
xdotool mousedown 2
sleep 0.2
for step in $(seq 10); do
  xdotool mousemove $((board_x + at_x + dx * step / 10)) $((board_y + at_y + dy * step / 10))
  sleep 0.05
done
sleep 0.3
xdotool mouseup 2
sleep 1
board_shot dragged
crop zoomed "200x160+$((at_x - 100))+$((at_y - 80))" zoomed-part
crop dragged "200x160+$((at_x + dx - 100))+$((at_y + dy - 80))" dragged-part
differs=$(differing "$work/zoomed-part.png" "$work/dragged-part.png")
[ "$differs" = 0 ] || fail "after a middle-button drag by $dx,$dy the board did not move with the pointer:" \
  "$differs pixels differ; see $work/zoomed.png and $work/dragged.png"
echo "a middle-button drag moved the view with the pointer"

focus_main
xdotool key ctrl+0
sleep 1.5
board_shot whole
differs=$(differing "$work/start.png" "$work/whole.png")
[ "$differs" = 0 ] || fail "Ctrl+0 does not give back the first board: $differs pixels differ; see $work/whole.png"
echo "Ctrl+0 gave back the first board"
focus_main
exit_player
echo "zoom and pan: all checks passed"
