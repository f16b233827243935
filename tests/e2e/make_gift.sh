#!/usr/bin/env bash
# File > Make a Gift (Ctrl+N) in a game being played: a picture's path typed
# in, 24 pieces, Save Gift writes the data gift that the tool reads back, and
# Play It closes the game with its closing splash and starts the new gift:
# its splash, then its board as the player cuts it.
set -euo pipefail
build=$(cd "$1" && pwd)
player="$build/shell/tessarine"
tool="$build/tessarine-gift"

source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work" HOME="$work"

"$build/tools/demo/demo-picture" "$work/picture.png"
"$tool" make -o "$work/first.tgift" --picture "$work/picture.png" --pieces 12 --seed 5 >/dev/null
cd "$work"
open_gift "$player" first.tgift
play_from_splash

focus_main
xdotool key ctrl+n
wait_for xdotool search --onlyvisible --name '^Make a Jigsaw Gift$' || fail "no Make a Jigsaw Gift window"
maker=$result
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$maker")"
xdotool mousemove $((X + 20)) $((Y + 20))
sleep 0.3
# The picture's path is typed where the window puts the keyboard.
xdotool type --delay 10 "$work/picture.png"
xdotool key Return
sleep 0.5
xdotool key alt+w ctrl+a
xdotool type --delay 10 "24"
xdotool key Tab
sleep 0.3
shot maker
xdotool key alt+s
wait_for xdotool search --onlyvisible --name '^Save Gift$' || fail "no Save Gift dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 10 "$work/made.tgift"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/made.tgift" ] && break; sleep 0.1; done
[ -s "$work/made.tgift" ] || fail "no gift saved"
"$tool" info "$work/made.tgift" >"$work/made.info"
grep -qx 'RequestedPieces: 24' "$work/made.info" || fail "the gift asks for $(grep RequestedPieces "$work/made.info")"
grep -qx 'Title: Picture' "$work/made.info" || fail "the gift's title: $(grep Title "$work/made.info")"

# Play It: the game being played closes (Enter saves it), the new gift opens.
# A click on the window's blank corner gives it the keyboard back.
sleep 0.5
xdotool mousemove $((X + 20)) $((Y + 20)) click 1
sleep 0.3
xdotool key alt+p
wait_for windows_of_size "$(splash_size)" || fail "no closing splash"
sleep 0.5
xdotool key Return
sleep 1
[ -s "$work/first.tgift.sav" ] || fail "the game being played was not saved"
wait_for windows_of_size "$(splash_size)" || fail "no opening splash of the new gift"
sleep 1.5
splash=$result
splash_shot made-splash
play_opened "$work/made.tgift" made
echo "make gift: all checks passed"
