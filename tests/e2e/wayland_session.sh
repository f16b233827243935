#!/usr/bin/env bash
# Under a Wayland compositor (Weston, with Qt's wayland platform) the player
# behaves as under X11: the splashes and every other window are tied to the
# main window (their toplevels have it as parent, so the compositor keeps them
# over it), the opening splash shows whole above the main window, Enter plays
# and the board is drawn, auto-solve runs through clicks, File > Exit with the
# closing splash ends the player with status 0, and a click is seen while the
# window thread waits without handling events, as an animation does. Where a window opens is the compositor's choice on
# Wayland: Weston places every new toplevel itself, its parent's or not.
#
# Weston's headless back end has no input devices, so no key could reach the
# player there: Weston runs with its X11 back end inside Xvfb instead, where
# xdotool's keys reach it as a keyboard's. Its pictures come from Weston itself
# (weston-screenshooter), as on a Wayland desktop.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
for program in weston weston-screenshooter; do
  command -v "$program" >/dev/null || { echo "no $program here: skipped"; exit 77; }
done
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] || { echo "no Qt wayland platform here: skipped"; exit 77; }
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

weston --backend=x11-backend.so --use-pixman --debug --socket=tg-wayland --width=1200 --height=960 \
  --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/tg-wayland" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/tg-wayland" ] || { cat "$work/weston.log"; echo "Weston did not start: skipped"; exit 77; }
export WAYLAND_DISPLAY=tg-wayland
# Keys go to the window under the pointer: Weston's.
xdotool mousemove 600 20
sleep 1

# wayland_shot NAME: Weston's output to $work/NAME.png.
wayland_shot() {
  rm -rf "$work/shots" && mkdir "$work/shots"
  (cd "$work/shots" && weston-screenshooter) || fail "weston-screenshooter failed"
  mv "$work/shots"/*.png "$work/$1.png"
}
# box_of PICTURE COLOUR: the bounding box of the pixels of about that colour
# (the board's background shades it), as "W H X Y".
box_of() {
  convert "$1" -fuzz 25% -fill black +opaque "$2" -fill white -opaque "$2" -trim -format '%w %h %X %Y\n' info: |
    tr -d +
}

# wait_for_toplevels N: up to fifteen seconds for the player to have made N
# toplevels (windows), as its protocol log tells.
wait_for_toplevels() {
  for _ in $(seq 150); do
    (($(grep -c 'get_toplevel(new id' "$work/player.log") >= $1)) && return 0
    sleep 0.1
  done
  return 1
}

board='#00C000'
convert -size 320x240 gradient:'#e0a030-#3050c0' -fill '#c03060' -draw 'circle 80,80 80,30' "$work/picture.png"
"$tool" make -o "$work/gift" --picture "$work/picture.png" --pieces 12 --seed 5 --background "$board" >/dev/null

# The protocol log shows which toplevels the player made and their parents.
WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$work/gift" >"$work/player.log" 2>&1 &
pid=$!
# The puzzle is built while the splash shows, then the splash waits for Play.
sleep 5
kill -0 "$pid" 2>/dev/null || { cat "$work/player.log"; fail "the player ended under Wayland"; }
wayland_shot splash
xdotool key Return
sleep 2
wayland_shot board

# The main window is where the board's colour is once the splash has gone.
read -r main_w main_h main_x main_y < <(box_of "$work/board.png" "$board")
((main_w > 300 && main_h > 200)) || fail "no board after Enter; see $work/board.png"
# The splash is what went: the largest patch of pixels that changed (the
# clock on the status line may have changed too).
compare "$work/splash.png" "$work/board.png" -compose src -highlight-color white -lowlight-color black \
  "$work/changed.png" 2>/dev/null || true
read -r splash_w splash_h splash_x splash_y < <(convert "$work/changed.png" -threshold 50% \
  -define connected-components:verbose=true -connected-components 8 null: |
  awk '$NF == "gray(255)" && $4 > area { area = $4; box = $2 } END { print box }' | tr 'x+' '  ')
echo "main window's board ${main_w}x$main_h at $main_x,$main_y; splash ${splash_w}x$splash_h at $splash_x,$splash_y"
# All of the splash showed, over whatever of the main window it covered.
((splash_w >= 430 && splash_h >= 410 && splash_w <= 440 && splash_h <= 420)) ||
  fail "the splash did not show whole; see $work/splash.png and $work/board.png"

# The board is drawn: the gift's pieces lie on its colour.
pieces=$(convert "$work/board.png" -crop "${main_w}x$main_h+$main_x+$main_y" +repage -fuzz 25% -fill black -opaque "$board" \
  -fuzz 0 -fill white +opaque black -format '%[fx:round(mean * w * h)]' info:)
((pieces > 5000)) || fail "the board shows no pieces; see $work/board.png"
echo "the splash showed whole; the board shows $pieces pixels of pieces"

# Cheat > Auto-Solve! (cheating is allowed from the start) slides every piece
# home while the pointer is clicked over the board: the slides read the
# buttons from the compositor as they wait. The puzzle is solved, and the
# congratulations and the whole picture are put away by a key each.
xdotool key alt+c
sleep 0.5
xdotool key a
xdotool mousemove $((main_x + main_w / 2)) $((main_y + main_h - 30))
for _ in $(seq 10); do xdotool click 1; sleep 0.1; done
# Auto-solve's window, then the congratulations.
wait_for_toplevels 5 || { wayland_shot solving; fail "no congratulations after auto-solve; see $work/solving.png"; }
sleep 1
wayland_shot solved
[ "$(differing "$work/board.png" "$work/solved.png")" -gt 50000 ] ||
  fail "auto-solve moved nothing; see $work/solved.png"
xdotool key Return
wait_for_toplevels 6 || fail "no whole picture after the congratulations"
sleep 1
xdotool key Escape
sleep 1
echo "auto-solve ran with clicks on the board"

# File > Exit, then Enter on the closing splash, ends the player cleanly.
xdotool key alt+f
sleep 0.5
xdotool key x
wait_for_toplevels 7 || fail "no closing splash"
sleep 1
wayland_shot closing
[ "$(differing "$work/board.png" "$work/closing.png")" != 0 ] || fail "no closing splash; see $work/closing.png"
xdotool key Return
expect_ended "$pid" "$work/player.log" "the player" 100 "after the closing splash"
echo "the player closed with status 0"

# The live button state: a click over a window whose thread waits, handling no
# event, is seen all the same, as a click during an animation's slide is.
QT_QPA_PLATFORM=wayland "$build/button_probe" >"$work/probe.log" 2>&1 &
probe=$!
wait_for grep -x waiting "$work/probe.log" || { cat "$work/probe.log"; fail "the button probe did not start"; }
xdotool mousemove 600 480
sleep 0.5
xdotool click 1
status=0
wait "$probe" || status=$?
[ "$status" -eq 0 ] || { cat "$work/probe.log"; fail "a click while the window thread waited went unseen"; }
echo "a click while the window thread waited was seen"
kill "$weston_pid" 2>/dev/null || true

# The first toplevel is the main window's; every later one (the splashes,
# the dialogs) names it, or a window of the player's, as its parent.
mapfile -t toplevels < <(sed -n 's/.*get_toplevel(new id xdg_toplevel@\([0-9]*\)).*/\1/p' "$work/player.log")
((${#toplevels[@]} >= 3)) || fail "the player made ${#toplevels[@]} toplevels, not the main window and two splashes"
for toplevel in "${toplevels[@]:1}"; do
  grep -q "xdg_toplevel@$toplevel\.set_parent(xdg_toplevel@" "$work/player.log" ||
    fail "toplevel $toplevel has no parent; see $work/player.log"
done
echo "${#toplevels[@]} toplevels, every one after the main window's with a parent"
