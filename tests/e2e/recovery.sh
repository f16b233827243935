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

convert -size 240x180 gradient:'#40a0d0' -fill '#d04060' -draw 'circle 80,90 80,40' \
  -fill '#f0e0a0' -draw 'rectangle 130,30 220,150' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 9 >/dev/null

play_arranged "$work/gift"
# The recovery file is written within five seconds of a change.
sleep 7
board_shot arranged
[ -n "$(ls "$XDG_STATE_HOME"/tessarine-gift/*.recovery 2>/dev/null)" ] || fail "no recovery file while playing"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
[ ! -e "$work/gift.sav" ] || fail "a killed player wrote a saved game"

expect_resumed first-splash arranged "the game the killed player left"
echo "recovered: the board is the one the killed player left"

focus_main
exit_player
[ -z "$(ls "$XDG_STATE_HOME"/tessarine-gift/*.recovery 2>/dev/null)" ] || fail "a normal end left the recovery file"
echo "recovery: all checks passed"
