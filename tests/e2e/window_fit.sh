#!/usr/bin/env bash
# The demo gift on a full HD screen: the main window opens centred at about
# four fifths of the screen, showing the game's first board, on which every
# piece lies whole and the pieces cover at most half. A larger window saved
# at the end comes back at the next start with the same play area and the
# same board.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1920x1080x24
export XDG_RUNTIME_DIR="$work" XDG_STATE_HOME="$work/state"
gift="$work/demo-gift"
cp "$build/demo-gift" "$gift"

open_gift "$gift"
splash_shot first-splash
play_from_splash
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "main window ${WIDTH}x$HEIGHT at $X,$Y"
share=$((WIDTH * HEIGHT * 100 / (1920 * 1080)))
((share >= 75 && share <= 85)) || fail "the window covers $share % of the screen"
((X >= 0 && Y >= 0 && X + WIDTH <= 1920 && Y + HEIGHT <= 1080)) || fail "the window leaves the screen"
centre_x=$((X + WIDTH / 2)) centre_y=$((Y + HEIGHT / 2))
((centre_x >= 958 && centre_x <= 962 && centre_y >= 538 && centre_y <= 542)) ||
  fail "the window is not centred: its centre is $centre_x,$centre_y"

shot start
find_board "$tool" "$gift" "$main" start || fail "the board is not the game's first board; see $work/start.png"
echo "board of ${board_w}x$board_h (menu bar $menu pixels)"
# Where the game put every piece on this board: each lies whole on it, and
# together they cover at most half of it.
summary=$("$tool" render "$gift" --out "$work/expected.png" --layout scattered --board "${board_w}x$board_h" --list |
  tee "$work/pieces.txt" | head -n1)
echo "$summary"
covered=0 pieces=0
while read -r word index _ px _ py _ pw _ ph _; do
  [ "$word" = piece ] || continue
  ((px >= 0 && py >= 0 && px + pw <= board_w && py + ph <= board_h)) ||
    fail "piece $index (${pw}x$ph at $px,$py) does not lie whole on the board"
  covered=$((covered + pw * ph)) pieces=$((pieces + 1))
done <"$work/pieces.txt"
((pieces > 0)) || fail "the game lists no pieces"
((2 * covered <= board_w * board_h)) || fail "the pieces cover $covered of $((board_w * board_h)) pixels"
echo "$pieces pieces whole on the board, covering $((covered * 100 / (board_w * board_h))) %"

# A larger window, saved at the end: the next start gives the play area
# that size again, centred on the screen, with the same board.
xdotool windowmove "$main" 10 10 windowsize "$main" 1880 1040
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "${WIDTH}x$HEIGHT" = 1880x1040 ] || fail "the window did not resize"
board_x=$X board_y=$((Y + menu + 41)) board_w=$WIDTH board_h=$((HEIGHT - menu - 41 - 28))
board_shot saved
focus_main
exit_player
[ -s "$work/demo-gift.sav" ] || fail "no saved game"

open_gift "$gift"
play_from_splash
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "${WIDTH}x$HEIGHT" = 1880x1040 ] || fail "the resumed window is ${WIDTH}x$HEIGHT, not 1880x1040"
board_x=$X board_y=$((Y + menu + 41))
board_shot resumed
differs=$(differing "$work/saved.png" "$work/resumed.png")
[ "$differs" = 0 ] || fail "the resumed board differs in $differs pixels; see $work/resumed.png"
echo "resumed: the play area and the board are the ones saved"
focus_main
exit_player
echo "window fit: all checks passed"
