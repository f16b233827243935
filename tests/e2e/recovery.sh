#!/usr/bin/env bash
# A player killed in the middle of a game gives the game back at the next
# start: the board is arranged, the player is killed (SIGKILL) a few seconds
# later, and the next start offers the game ("Resume game...", a check box the
# first start did not show) and shows exactly the board that was left. A
# normal end then leaves no recovery file behind.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

splash_shot() {
  eval "$(xdotool getwindowgeometry --shell "$splash")"
  shot "$1-screen"
  crop "$1-screen" "${WIDTH}x$HEIGHT+$X+$Y" "$1"
}

convert -size 240x180 gradient:'#40a0d0' -fill '#d04060' -draw 'circle 80,90 80,40' \
  -fill '#f0e0a0' -draw 'rectangle 130,30 220,150' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 9 >/dev/null

open_gift "$work/gift"
splash_shot first-splash
play_from_splash
shot start
find_board "$tool" "$work/gift" "$main" start || fail "the board is not the game's scattered board"
focus_main
xdotool key alt+t
sleep 0.5
xdotool key g
# The recovery file is written within five seconds of a change.
sleep 7
shot arranged-screen
crop arranged-screen "${board_w}x$board_h+$board_x+$board_y" arranged
[ -n "$(ls "$XDG_STATE_HOME"/tessarine-gift/*.recovery 2>/dev/null)" ] || fail "no recovery file while playing"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
[ ! -e "$work/gift.sav" ] || fail "a killed player wrote a saved game"

open_gift "$work/gift"
splash_shot second-splash
[ "$(differing "$work/first-splash.png" "$work/second-splash.png")" != 0 ] ||
  fail "the start after the kill does not offer the game"
play_from_splash
shot resumed-screen
crop resumed-screen "${board_w}x$board_h+$board_x+$board_y" resumed
differs=$(differing "$work/arranged.png" "$work/resumed.png")
[ "$differs" = 0 ] || fail "the resumed board differs from the one left in $differs pixels; see $work/resumed.png"
echo "recovered: the board is the one the killed player left"

focus_main
exit_player
[ -z "$(ls "$XDG_STATE_HOME"/tessarine-gift/*.recovery 2>/dev/null)" ] || fail "a normal end left the recovery file"
echo "recovery: all checks passed"
