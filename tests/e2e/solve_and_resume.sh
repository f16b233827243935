#!/usr/bin/env bash
# A game saved at the end comes back at the next start: the board is arranged,
# the player closed with "Save game..." left checked, and the next start's
# splash offers the saved game (a check box the first start did not show) and
# then shows exactly the board that was left. Then Cheat > Auto-Solve! solves
# that game while its window shows, and the congratulations come up.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work" XDG_STATE_HOME="$work/state"

named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

convert -size 240x180 gradient:'#d07040-#4060b0' -fill '#30a060' -draw 'circle 70,70 70,30' \
  -fill '#f0e0c0' -draw 'rectangle 140,100 220,160' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 6 --seed 5 >/dev/null

play_arranged "$work/gift"
sleep 1
board_shot arranged
[ "$(differing "$work/arranged.png" "$work/actual.png")" != 0 ] || fail "Arrange in Grid did not move the pieces"
focus_main
exit_player
[ -s "$work/gift.sav" ] || fail "no saved game beside the gift after closing with Save game... checked"
echo "saved: $(stat -c %s "$work/gift.sav") bytes"

expect_resumed first-splash arranged "the saved game"
echo "resumed: the board is the one that was saved"

focus_main
xdotool key alt+c
sleep 0.5
xdotool key a
wait_for named '^Set speed$' || fail "no solve window"
echo "auto-solve: the solve window shows"
for _ in $(seq 300); do [ -n "$(named '^You solved it!$')" ] && break; sleep 0.1; done
[ -n "$(named '^You solved it!$')" ] || { shot unsolved; fail "no congratulations within 30 seconds"; }
[ -z "$(named '^Set speed$')" ] || fail "the solve window is still open with the congratulations"
shot solved
echo "auto-solve: You solved it!"
xdotool key Return
sleep 1
xdotool key Escape
sleep 1
[ -z "$(named '^You solved it!$')" ] || fail "the congratulations did not close on Enter"
focus_main
exit_player
echo "solve and resume: all checks passed"
