#!/usr/bin/env bash
# Starts the real player under Xvfb, finds its main window and takes a
# screenshot of it.
set -euo pipefail
build="$1"
player="$build/shell/tessarine"
source "$(dirname "$0")/screen.bash"
start_screen 1024x768x24

QT_QPA_PLATFORM=xcb "$player" >"$work/player.log" 2>&1 &
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Tessarine Gift$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "main window did not appear"; cat "$work/player.log"; exit 1; }

sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" -eq 603 ] && [ "$HEIGHT" -eq 501 ] || { echo "unexpected size"; exit 1; }

import -window root "$work/screen.png"
# The window's area of the screenshot is not the empty black root.
colours=$(convert "$work/screen.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" -format '%k' info:)
echo "distinct colours in the window: $colours"
[ "$colours" -gt 1 ]
