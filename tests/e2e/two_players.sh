#!/usr/bin/env bash
# One gift plays in one player at a time. While a game of the gift goes on, a
# second start of the same gift says so in a message box of its own and ends
# at its OK, with no splash, no window of a game and nothing of the first
# player's touched; the first plays on. A player killed in the middle of a
# game leaves the gift free: the next start plays it and offers the game the
# killed one left, and closing it saves the game.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

convert -size 240x180 gradient:'#60c040-#304090' -fill '#e0d040' -draw 'circle 170,60 170,25' \
  -fill '#903020' -draw 'rectangle 20,110 120,170' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 3 >/dev/null

play_arranged "$work/gift"
first=$pid
# The recovery file is written within five seconds of a change.
sleep 7
board_shot arranged
recovery=$(ls "$XDG_STATE_HOME"/tessarine-gift/*.recovery 2>/dev/null) || fail "no recovery file while playing"
cp "$recovery" "$work/recovery-before"

QT_QPA_PLATFORM=xcb "$work/gift" >"$work/second.log" 2>&1 &
second=$!
others() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null); do
    [ "$w" != "$main" ] && echo "$w"
  done
  return 0
}
wait_for others || { cat "$work/second.log"; fail "the second start showed nothing"; }
box=$result
sleep 0.5
shot second-start
[ "$(xdotool getwindowpid "$box")" = "$second" ] || fail "the window that came up is not the second player's"
[ -z "$(windows_of_size 434x414)" ] || fail "the second start showed the gift's splash"
for w in $(main_windows); do
  [ "$w" = "$main" ] || [ "$w" = "$box" ] || fail "the second start opened a window of a game"
done
kill -0 "$second" 2>/dev/null || fail "the second start ended without waiting for its message to be read"
xdotool windowfocus --sync "$box"
xdotool key Return
expect_ended "$second" "$work/second.log" "the second start" 50 "after its message"
echo "second start: said so and ended"

kill -0 "$first" 2>/dev/null || fail "the first player ended"
cmp -s "$recovery" "$work/recovery-before" || fail "the first player's recovery file changed"
[ ! -e "$work/gift.sav" ] || fail "a saved game was written"
board_shot still
[ "$(differing "$work/arranged.png" "$work/still.png")" = 0 ] || fail "the first player's board changed"

# Killed, the first player leaves the gift free.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
expect_resumed first-splash arranged "the game the killed player left"
echo "after a kill: the gift starts and offers the game that was left"
focus_main
exit_player
[ -s "$work/gift.sav" ] || fail "no saved game after closing with Save game... checked"
echo "two players: all checks passed"
