#!/usr/bin/env bash
# On an 8-bit screen the player refuses to start and opens no main window.
set -euo pipefail
build="$1"
player="$build/shell/tessarine"
source "$(dirname "$0")/screen.bash"
start_screen 800x600x8
if ! xdpyinfo | grep -q 'depth of root window:.*8 planes'; then
  echo "Xvfb gave no 8-bit screen: skipped"
  exit 77
fi

QT_QPA_PLATFORM=xcb "$player" >"$work/player.log" 2>&1 &
pid=$!
box=""
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null | head -n1 || true)
  [ -n "$box" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if [ -z "$box" ]; then
  # Qt may refuse such a screen outright; then the player must have ended.
  sleep 0.5
  ! kill -0 $pid 2>/dev/null || { echo "player runs without any window"; exit 1; }
  echo "player ended on the 8-bit screen"
  exit 0
fi
sleep 0.5
for w in $(xdotool search --onlyvisible --name '^Tessarine Gift$'); do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  echo "visible window $w: ${WIDTH}x$HEIGHT"
  # The main window never opens smaller than 603 x 501.
  if [ "$WIDTH" -ge 603 ] && [ "$HEIGHT" -ge 501 ]; then
    echo "the main window opened on an 8-bit screen"
    exit 1
  fi
done
echo "only the display warning is shown"
