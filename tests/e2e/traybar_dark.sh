#!/usr/bin/env bash
# The tray bar on a dark board, checked on a screenshot: New Tray shows the
# bar below the board in the desktop's own colours, not the board's, so that
# the tray's button and the scroll arrows stand out, and the bar is set off
# from the board.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

board_colour='#101418'
convert -size 210x150 gradient:'#e0a030-#3050c0' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 26 \
  --background "$board_colour" >/dev/null

open_gift "$work/gift"
play_from_splash
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen ||
  fail "the board is not the game's scattered board; see $work/start-screen.png"
focus_main
xdotool key alt+t
sleep 0.5
xdotool key t
# The bar appears below the board, taking its height from it.
sleep 1.5
bar_h=$((30 * scale))
shot bar-screen
crop bar-screen "${board_w}x$bar_h+$board_x+$((board_y + board_h - bar_h))" bar
# gray NAME: the picture's mean brightness, 0 to 100.
gray() { convert "$work/$1.png" -colorspace gray -format '%[fx:round(100*mean)]' info:; }
brightness=$(gray bar)
((brightness >= 50)) || fail "the tray bar is dark ($brightness %) like the board; see $work/bar.png"
# Its button's glyph and number and its arrows: dark marks on the light bar,
# each pixel far from both the bar's face and the board's colour.
convert "$work/bar.png" -colorspace gray -threshold 40% -negate "$work/marks.png"
marks=$(convert "$work/marks.png" -format '%[fx:round(mean*w*h)]' info:)
((marks >= 40)) || fail "the tray bar shows only $marks dark pixels of buttons and arrows; see $work/bar.png"
echo "tray bar on a $board_colour board: $brightness % bright, $marks pixels of buttons and arrows"
exit_player
