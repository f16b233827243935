# Sourced by the end-to-end tests that need a screen.
#
# $scale: the display scale the player runs at (QT_SCALE_FACTOR), 1 unless a
# test sets it; the sizes below are logical pixels times it.
scale=${scale:-1}
#
# start_screen WIDTHxHEIGHTxDEPTH: makes the work folder $work, starts Xvfb on
# a free display and exports DISPLAY; without Xvfb and xdotool, or without a
# screen that answers, the test cannot run here and reports itself skipped.
# On exit every background job stops and the work folder goes, unless the
# test failed or KEEP is set: then its path is printed, so that the
# screenshots can be looked at.
start_screen() {
  work=$(mktemp -d)
  # What the player keeps in the user's state folder stays in the work folder.
  export XDG_STATE_HOME="$work/state"
  trap 'stop_screen $?' EXIT
  local program server
  for program in Xvfb xdotool xdpyinfo; do
    command -v "$program" >/dev/null || { echo "no $program here: skipped"; exit 77; }
  done
  for _ in 1 2 3; do
    # -noreset: a server that resets when its last client goes refuses the
    # next one for a moment, and a test often starts the player again.
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    server=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    DISPLAY=:$(head -n1 "$work/display")
    export DISPLAY
    for _ in $(seq 50); do
      if xdpyinfo >/dev/null 2>&1; then
        screen_pid=$server
        return 0
      fi
      sleep 0.1
    done
    # A server still ending on the display it was given can keep this one
    # from listening there: another start finds another display.
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  done
  echo "Xvfb gave no screen that answers: skipped"
  cat "$work/xvfb.log"
  exit 77
}

stop_screen() {
  kill $(jobs -p) 2>/dev/null || true
  # Xvfb removes its socket as the last thing it does: a server started for
  # the next test on the same display would lose its own socket to it. So
  # the next test starts only once this server has ended and its socket is
  # gone.
  if [ -n "${screen_pid:-}" ]; then
    wait "$screen_pid" 2>/dev/null || true
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] || break; sleep 0.1; done
  fi
  for _ in $(seq 50); do [ -z "$(jobs -pr)" ] && break; sleep 0.1; done
  if [ -n "${KEEP:-}" ] || { [ "$1" -ne 0 ] && [ "$1" -ne 77 ]; }; then
    echo "screenshots and logs kept in $work" >&2
  else
    rm -rf "$work"
  fi
}

fail() { echo "FAIL: $*" >&2; exit 1; }
# shot NAME: the whole screen to $work/NAME.png.
shot() { import -window root "$work/$1.png"; }
# crop FROM GEOMETRY TO, pictures named as for shot.
crop() { convert "$work/$1.png" -crop "$2" +repage "$work/$3.png"; }
# The number of pixels in which two pictures of one size differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# Visible windows named "Tessarine Gift" of size $1 (e.g. 434x414).
windows_of_size() {
  local w geometry
  for w in $(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null); do
    # A window may close between the search and the question.
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    [ "${WIDTH}x$HEIGHT" = "$1" ] && echo "$w"
  done
  return 0
}
# wait_for COMMAND...: up to ten seconds for the command's first line of
# output, left in $result.
wait_for() {
  for _ in $(seq 100); do
    result=$("$@" | head -n1)
    [ -n "$result" ] && return 0
    sleep 0.1
  done
  return 1
}

# The splashes' size on the screen.
splash_size() { echo "$((434 * scale))x$((414 * scale))"; }

# open_gift GIFT [ARGUMENT...]: starts the gift, or a player with the gift
# file as its argument ($pid, its output in $work/player.log), and waits for
# the opening splash ($splash) to wait for the player.
open_gift() {
  QT_QPA_PLATFORM=xcb "$@" >"$work/player.log" 2>&1 &
  pid=$!
  wait_for windows_of_size "$(splash_size)" || { cat "$work/player.log"; fail "no opening splash"; }
  # The splash shows while the puzzle is built, then again as a window that
  # waits for the player: look for it once more.
  sleep 1.5
  wait_for windows_of_size "$(splash_size)" || fail "the opening splash did not wait for Play"
  splash=$result
}

# Visible windows named "Tessarine Gift" other than the splash: the main
# window, whatever size it took on this screen.
main_windows() {
  local w geometry
  for w in $(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    [ "${WIDTH}x$HEIGHT" != "$(splash_size)" ] && echo "$w"
  done
  return 0
}

# play_from_splash: Enter presses "Play..." on the opening splash; the main
# window ($main) shows and the splash goes.
play_from_splash() {
  xdotool key Return
  wait_for main_windows || fail "no main window"
  main=$result
  sleep 1.5
  [ -z "$(windows_of_size "$(splash_size)")" ] || fail "the splash is still open after Enter"
}

# find_board TOOL GIFT WINDOW SHOT: the play area of the main window on
# screenshot SHOT. It lies the window's width below the menu bar and the
# 41-pixel toolbar, above the 28-pixel status line; the menu bar's height
# depends on the fonts, so every likely height is tried against the game's own
# scattered board. Sets the window's X, Y, WIDTH and HEIGHT, the menu bar's
# height $menu and the board's place $board_x, $board_y and size $board_w,
# $board_h on the screen; false when no height gives the game's board.
find_board() {
  eval "$(xdotool getwindowgeometry --shell "$3")"
  for menu in $(seq $((16 * scale)) "$scale" $((40 * scale))); do
    board_x=$X board_y=$((Y + menu + 41 * scale)) board_w=$WIDTH board_h=$((HEIGHT - menu - (41 + 28) * scale))
    "$1" render "$2" --out "$work/expected.png" --layout scattered --board "${board_w}x$board_h" >/dev/null
    crop "$4" "${board_w}x$board_h+$board_x+$board_y" actual
    [ "$(differing "$work/expected.png" "$work/actual.png")" = 0 ] && return 0
  done
  return 1
}

# focus_main: the keyboard goes to the window under the pointer; a click on
# the main window's status line gives it the focus without touching the
# board. Leaves the window's place and size in X, Y, WIDTH and HEIGHT.
focus_main() {
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove $((X + 100)) $((Y + HEIGHT - 10)) click 1
  sleep 0.3
}

# board_shot NAME: a screenshot, and the board find_board found on it in
# $work/NAME.png.
board_shot() {
  shot "$1-screen"
  crop "$1-screen" "${board_w}x$board_h+$board_x+$board_y" "$1"
}

# splash_shot NAME: the splash ($splash) alone in $work/NAME.png.
splash_shot() {
  eval "$(xdotool getwindowgeometry --shell "$splash")"
  shot "$1-screen"
  crop "$1-screen" "${WIDTH}x$HEIGHT+$X+$Y" "$1"
}

# play_arranged GIFT: the gift opens (its splash shot as first-splash), plays
# from the splash, shows the game's scattered board and arranges it in a grid
# with Tools > Arrange in Grid.
play_arranged() {
  open_gift "$1"
  splash_shot first-splash
  play_from_splash
  shot start
  find_board "$tool" "$1" "$main" start || fail "the board is not the game's scattered board"
  focus_main
  xdotool key alt+t
  sleep 0.5
  xdotool key g
}

# expect_resumed FIRST BOARD WHAT: the gift starts again; its splash offers a
# game (it differs from splash shot FIRST by the check box a new game does not
# show), and Play shows exactly board shot BOARD.
expect_resumed() {
  local differs
  open_gift "$work/gift"
  splash_shot second-splash
  [ "$(differing "$work/$1.png" "$work/second-splash.png")" != 0 ] || fail "the next start does not offer $3"
  play_from_splash
  board_shot resumed
  differs=$(differing "$work/$2.png" "$work/resumed.png")
  [ "$differs" = 0 ] || fail "the board of $3 differs in $differs pixels; see $work/resumed.png"
}

# play_opened GIFT SHOT: Enter on the opening splash of GIFT, which another
# gift's game opened in the same window; its board, shot as SHOT, is the
# game's scattered board; File > Exit then ends the player, which saves the
# game beside GIFT.
play_opened() {
  xdotool key Return
  sleep 1.5
  shot "$2"
  find_board "$tool" "$1" "$main" "$2" || fail "the board of $1 is not shown"
  focus_main
  exit_player
  [ -s "$1.sav" ] || fail "no saved game beside $1"
}

# exit_player: File > Exit shows the closing splash; Enter on it ends the
# player, which must end with status 0. The main window needs the keyboard.
exit_player() {
  xdotool key alt+f
  sleep 0.5
  xdotool key x
  wait_for windows_of_size "$(splash_size)" || fail "no closing splash"
  sleep 0.5
  xdotool key Return
  expect_ended "$pid" "$work/player.log" "the player" 50 "after the closing splash"
}

# expect_ended PID LOG WHO TENTHS WHEN: the process ends within TENTHS tenths
# of a second, with status 0; otherwise the test fails, showing LOG when the
# status is not 0.
expect_ended() {
  local status=0
  for _ in $(seq "$4"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$3 is still running $5"
  wait "$1" || status=$?
  [ "$status" -eq 0 ] || { cat "$2"; fail "$3 ended with status $status"; }
}
