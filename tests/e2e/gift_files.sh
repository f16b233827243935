#!/usr/bin/env bash
# The player given a gift file: --help, --version and a wrong command line;
# a path that is missing, a folder or no gift says so on stderr and in a
# message box, and ends with status 2; a data gift plays, and saves beside
# itself; File > Open Gift (Ctrl+O) closes the game with its closing splash
# and starts the executable gift chosen, read as data.
set -euo pipefail
build=$(cd "$1" && pwd)
player="$build/shell/tessarine"
tool="$build/tessarine-gift"

"$player" --help | grep -q '^usage: tessarine \[GIFT\]' || { echo "FAIL: --help" >&2; exit 1; }
"$player" --version | grep -qx 'tessarine [0-9.]*' || { echo "FAIL: --version" >&2; exit 1; }
for wrong in "--frobnicate" "one two"; do
  status=0
  # shellcheck disable=SC2086
  QT_QPA_PLATFORM=offscreen "$player" $wrong >/dev/null 2>"${TMPDIR:-/tmp}/usage.$$" || status=$?
  grep -q '^usage: tessarine' "${TMPDIR:-/tmp}/usage.$$" && [ "$status" -eq 2 ] ||
    { echo "FAIL: '$wrong' gave status $status" >&2; exit 1; }
  rm -f "${TMPDIR:-/tmp}/usage.$$"
done

source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

# refused PATH WHAT: the player shows a message box, says the same on
# stderr, and ends with status 2 once the box is answered.
refused() {
  QT_QPA_PLATFORM=xcb "$player" "$1" >"$work/refused.log" 2>&1 &
  local refused_pid=$! status=0
  wait_for xdotool search --onlyvisible --name '^Tessarine Gift$' || fail "no message box for $2"
  sleep 0.5
  xdotool key Return
  for _ in $(seq 50); do kill -0 $refused_pid 2>/dev/null || break; sleep 0.1; done
  wait $refused_pid || status=$?
  [ "$status" -eq 2 ] || fail "$2 ended with status $status"
  grep -q "^tessarine: \"$1\" cannot be played as a jigsaw gift. $3" "$work/refused.log" ||
    fail "$2: $(cat "$work/refused.log")"
}
refused "$work/missing.tgift" "a missing gift" "Cannot open file \"$work/missing.tgift\". There is no such file."
refused "$work" "a folder" "Cannot open file \"$work\". It is a folder, not a gift file."
"$build/tools/demo/demo-picture" "$work/picture.png"
refused "$work/picture.png" "a picture" "This jigsaw gift file is damaged"

"$tool" make -o "$work/lake.tgift" --picture "$work/picture.png" --pieces 20 --seed 3 >/dev/null
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 12 --seed 8 --style round >/dev/null
cd "$work"
open_gift "$player" lake.tgift
play_from_splash
shot lake
find_board "$tool" "$work/lake.tgift" "$main" lake || fail "the data gift's board is not shown"

# Ctrl+O: the dialog takes the executable gift's path; the data gift's game
# closes with its closing splash (Enter saves it), and the chosen gift's
# splash opens.
focus_main
xdotool key ctrl+o
wait_for xdotool search --onlyvisible --name '^Open Gift$' || fail "no Open Gift dialog"
sleep 0.5
xdotool type --delay 20 "$work/gift"
xdotool key Return
wait_for windows_of_size "$(splash_size)" || fail "no closing splash"
sleep 0.5
xdotool key Return
sleep 1
[ -s "$work/lake.tgift.sav" ] || fail "no saved game beside the data gift"
wait_for windows_of_size "$(splash_size)" || fail "no opening splash of the chosen gift"
sleep 1.5
play_opened "$work/gift" opened
echo "gift files: all checks passed"
