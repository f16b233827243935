#!/usr/bin/env bash
# Playing with the mouse as a person plays, checked on screenshots against the
# places the game itself gives the pieces: a piece dragged next to its
# right-hand neighbour joins it and the solved count goes up; a band dragged
# around two loose pieces lifts them and they move together; with rotation on,
# Ctrl+click turns a piece a quarter counter-clockwise; no move leaves a trail
# on the board; File > Exit ends the player with status 0.
set -euo pipefail
build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
source "$(dirname "$0")/screen.bash"
start_screen 1280x1024x24
export XDG_RUNTIME_DIR="$work"

# The widest shadow a lifted piece casts, right and down of it.
shadow=10

# same_mask A B OUT: white where pictures A and B agree, black elsewhere.
same_mask() { compare "$1" "$2" -highlight-color black -lowlight-color white -compose src "$3" 2>/dev/null || true; }
# The number of white pixels of a black and white picture.
white_pixels() { convert "$1" -format '%[fx:round(mean * w * h)]' info:; }
min() { echo $(($1 < $2 ? $1 : $2)); }
max() { echo $(($1 > $2 ? $1 : $2)); }
# Board points to screen points.
screen_x() { echo $((board_x + $1)); }
screen_y() { echo $((board_y + $1)); }
# Visible windows named "Tessarine Gift" other than the main window.
other_windows() { xdotool search --onlyvisible --name '^Tessarine Gift$' 2>/dev/null | grep -vx "$main" || true; }
# answer KEY: a question box opens; KEY answers it and it closes.
answer() {
  wait_for other_windows || fail "no question was asked"
  xdotool key "$1"
  for _ in $(seq 50); do [ -z "$(other_windows)" ] && break; sleep 0.1; done
  [ -z "$(other_windows)" ] || fail "the question is still open after $1"
  sleep 1
}
# drag X0 Y0 X1 Y1: presses the left button at board point (X0, Y0), moves to
# (X1, Y1) in steps as a hand does, since the player sees only some of the
# moves, and releases there.
drag() {
  local step
  xdotool mousemove "$(screen_x "$1")" "$(screen_y "$2")"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for step in $(seq 10); do
    xdotool mousemove "$(screen_x $(($1 + ($3 - $1) * step / 10)))" "$(screen_y $(($2 + ($4 - $2) * step / 10)))"
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}

# A rim is drawn for the way its piece lies: where a turned piece's rim lies,
# the board may differ from the turned picture. Each entry is a mask of such
# pixels and its board place.
rims=()
# model NAME: the board as it must look now, the mural with every piece's
# picture over its mask at its place, in $work/NAME.png.
model() {
  local parts=() i
  for i in "${!x[@]}"; do
    parts+=(\( "$work/${image[i]}.png" "$work/${mask[i]}.png" -alpha off -compose copy_opacity -composite \)
      -geometry "+${x[i]}+${y[i]}" -compose over -composite)
  done
  convert "$work/mural.png" "${parts[@]}" -alpha off "$work/$1.png"
}
# without_rims IN OUT: IN with the rims' pixels painted over.
without_rims() {
  local parts=() rim
  for rim in "${rims[@]}"; do
    read -r file at <<<"$rim"
    parts+=(\( -size "$(identify -format '%wx%h' "$work/$file.png")" xc:magenta "$work/$file.png" -alpha off
      -compose copy_opacity -composite \) -geometry "$at" -compose over -composite)
  done
  convert "$1" "${parts[@]}" -alpha off "$2"
}
# report_difference A B: where pictures A and B of one size differ, as
# WxH+X+Y.
report_difference() {
  same_mask "$1" "$2" "$work/same.png"
  convert "$work/same.png" -negate -trim -format '%wx%h%O' info:
}
# expect_board NAME WHAT: the board on screenshot NAME is the model.
expect_board() {
  local actual="$work/$1.png" expected="$work/$1-model.png" differs
  model "$1-model"
  if ((${#rims[@]} > 0)); then
    without_rims "$actual" "$work/$1-compared.png"
    without_rims "$expected" "$work/$1-model-compared.png"
    actual="$work/$1-compared.png" expected="$work/$1-model-compared.png"
  fi
  differs=$(differing "$actual" "$expected")
  [ "$differs" = 0 ] || fail "$2: $differs pixels of the board within $(report_difference "$actual" "$expected")" \
    "differ from the pieces at their places; see $work/$1.png and $work/$1-model.png"
}
# expect_no_trails BEFORE AFTER WHAT RECT...: the boards on screenshots BEFORE
# and AFTER are the same outside the rectangles (board pixels, "X Y W H"),
# each grown by the shadow.
expect_no_trails() {
  local before=$1 after=$2 what=$3 rect rx ry rw rh changed
  shift 3
  local covers=()
  for rect in "$@"; do
    read -r rx ry rw rh <<<"$rect"
    covers+=(-draw "rectangle $rx,$ry $((rx + rw + shadow - 1)),$((ry + rh + shadow - 1))")
  done
  convert "$work/$before.png" -fill magenta "${covers[@]}" "$work/$after-before-outside.png"
  convert "$work/$after.png" -fill magenta "${covers[@]}" "$work/$after-outside.png"
  changed=$(differing "$work/$after-before-outside.png" "$work/$after-outside.png")
  [ "$changed" = 0 ] || fail "$what left a trail: $changed pixels changed within" \
    "$(report_difference "$work/$after-before-outside.png" "$work/$after-outside.png")," \
    "away from the moved pieces; see $work/$before.png and $work/$after.png"
}
# expect_free X Y W H PIECE...: the rectangle is on the board and no piece
# but the ones named lies near it, so that a move there stays clear of the
# other pieces.
expect_free() {
  local i margin=$((shadow + 10)) left=$1 top=$2 width=$3 height=$4
  shift 4
  ((left >= 0 && top >= 0 && left + width + shadow <= board_w && top + height + shadow <= board_h)) ||
    fail "$left,$top ${width}x$height is not on the board: choose another seed"
  for i in "${!x[@]}"; do
    [[ " $* " == *" $i "* ]] && continue
    if ((left < x[i] + w[i] + margin && x[i] < left + width + margin &&
      top < y[i] + h[i] + margin && y[i] < top + height + margin)); then
      fail "piece $i lies near $left,$top ${width}x$height, where pieces $* are to go: choose another seed"
    fi
  done
}
# grab_x I, grab_y I: the middle of piece I's box.
grab_x() { echo $((x[$1] + w[$1] / 2)); }
grab_y() { echo $((y[$1] + h[$1] / 2)); }
# expect_grab_point I: the middle of piece I's box is on the piece, so that a
# press there takes it.
expect_grab_point() {
  [ "$(convert "$work/${mask[$1]}.png" -format "%[fx:p{$((w[$1] / 2)),$((h[$1] / 2))}.r]" info:)" = 1 ] ||
    fail "the middle of piece $1 is not on the piece"
}
# rect_of I: piece I's rectangle on the board, "X Y W H".
rect_of() { echo "${x[$1]} ${y[$1]} ${w[$1]} ${h[$1]}"; }
# solved_panel SHOT NAME: the inside of the status line's first framed panel,
# "Solved N of M", on screenshot SHOT, to $work/NAME.png.
solved_panel() {
  local from to
  crop "$1" "${WIDTH}x28+$X+$((Y + HEIGHT - 28))" "$2-line"
  read -r from to < <(convert "$work/$2-line.png" -crop "${WIDTH}x1+0+2" +repage txt:- | awk '
    NR == 1 { next }
    { split($1, at, ","); colour = $3 }
    at[1] == 0 { background = colour }
    from == "" && colour != background { from = at[1] }
    from != "" && to == "" && colour == background { to = at[1] }
    END { print from, to }')
  [ -n "$to" ] || fail "no framed panel on the status line; see $work/$1.png"
  crop "$2-line" "$((to - from - 4))x20+$((from + 2))+4" "$2"
}


# inside MASK DEPTH OUT: the pixels of MASK at least DEPTH pixels inside its
# outline.
inside() { convert "$1" -bordercolor black -border 1 -morphology Erode "Square:$2" -shave 1x1 "$3"; }

# A picture with no symmetry, so that a piece turned the wrong way or a piece
# in a wrong place cannot look right.
convert -size 320x240 gradient:'#e0a030-#3050c0' \
  -fill '#c03060' -draw 'circle 80,80 80,30' -fill '#30b060' -draw 'rectangle 170,40 280,130' \
  -fill '#f0f0d0' -draw 'polygon 40,220 130,150 220,226' -fill '#602080' -draw 'ellipse 255,195 45,28 0,360' \
  "$work/picture.png"
# This seed scatters the six pieces apart on the board of the window below,
# with room around them for every move of the test.
cut=(--picture "$work/picture.png" --pieces 6 --seed 23 --style classic --oddness 3)
"$tool" make -o "$work/gift" "${cut[@]}" >/dev/null
# The same puzzle on a white board: the pixels the two boards share are the
# pieces'.
"$tool" make -o "$work/white-gift" "${cut[@]}" --background '#FFFFFF' >/dev/null

open_gift "$work/gift"
play_from_splash
# A resize keeps the pieces where they lay, in proportion to the board; a
# restart scatters them over the whole new board, as the game's own board of
# that size.
xdotool windowmove "$main" 20 20 windowsize "$main" 1200 940
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "${WIDTH}x$HEIGHT" = 1200x940 ] || fail "the window did not resize"
focus_main
xdotool key alt+t
sleep 0.5
xdotool key r
answer y
shot start-screen
find_board "$tool" "$work/gift" "$main" start-screen ||
  fail "after the restart the board is not the game's scattered board; see $work/start-screen.png"
crop start-screen "${board_w}x$board_h+$board_x+$board_y" start
echo "board of ${board_w}x$board_h at $board_x,$board_y (menu bar $menu pixels)"

# Where the game puts every piece on this board, its picture and its mask.
"$tool" render "$work/gift" --out "$work/scattered.png" --layout scattered --board "${board_w}x$board_h" --list \
  >"$work/pieces.txt"
"$tool" render "$work/white-gift" --out "$work/scattered-white.png" --layout scattered \
  --board "${board_w}x$board_h" >/dev/null
x=() y=() w=() h=() home_x=() home_y=() image=() mask=()
while read -r word index _ px _ py _ pw _ ph _ hx hy _ turns; do
  [ "$word" = piece ] || continue
  [ "$turns" = 0 ] || fail "piece $index is turned at the start"
  x[index]=$px y[index]=$py w[index]=$pw h[index]=$ph home_x[index]=$hx home_y[index]=$hy
  image[index]=piece$index mask[index]=mask$index
  convert "$work/scattered.png" -crop "${pw}x$ph+$px+$py" +repage "$work/piece$index.png"
  convert "$work/scattered-white.png" -crop "${pw}x$ph+$px+$py" +repage "$work/white$index.png"
  same_mask "$work/piece$index.png" "$work/white$index.png" "$work/mask$index.png"
done <"$work/pieces.txt"
[ "${#x[@]}" = 6 ] || fail "the game lists ${#x[@]} pieces, not 6"

# The board's own picture is a vertical gradient: one column of it that no
# piece covers gives all of it.
free_column=-1
for ((column = 0; column < board_w && free_column < 0; column++)); do
  free_column=$column
  for i in "${!x[@]}"; do
    if ((column >= x[i] && column < x[i] + w[i])); then free_column=-1 && break; fi
  done
done
((free_column >= 0)) || fail "every column of the board holds a piece: choose another seed"
convert "$work/start.png" -crop "1x$board_h+$free_column+0" +repage -scale "${board_w}x$board_h!" "$work/mural.png"

# The model of the untouched board is the board itself: the pictures, the
# masks and the mural are right.
expect_board start "the board as it starts"

# A piece is dropped a few pixels off the place where it fits its right-hand
# neighbour. Only a join moves the loose neighbour onto it by those pixels:
# the board must show the neighbour there, the two must show the picture
# put together, and the solved count must change.
piece=0 neighbour=1 off_x=6 off_y=4
to_x=$((x[neighbour] - (home_x[neighbour] - home_x[piece]) + off_x))
to_y=$((y[neighbour] - (home_y[neighbour] - home_y[piece]) + off_y))
expect_free "$to_x" "$to_y" "${w[piece]}" "${h[piece]}" "$piece" "$neighbour"
expect_grab_point "$piece"
solved_panel start-screen solved-before
old_piece=$(rect_of $piece) old_neighbour=$(rect_of $neighbour)
drag "$(grab_x $piece)" "$(grab_y $piece)" $(($(grab_x $piece) + to_x - x[piece])) \
  $(($(grab_y $piece) + to_y - y[piece]))
x[piece]=$to_x y[piece]=$to_y
x[neighbour]=$((x[neighbour] + off_x)) y[neighbour]=$((y[neighbour] + off_y))
# The solved count shows at the clock's next second.
sleep 1.2
board_shot joined
solved_panel joined-screen solved-after
[ "$(differing "$work/solved-before.png" "$work/solved-after.png")" != 0 ] ||
  fail "the Solved panel did not change after the join; see $work/solved-before.png and $work/solved-after.png"
expect_no_trails start joined "the join" "$old_piece" "$old_neighbour" "$(rect_of $piece)" "$(rect_of $neighbour)"
expect_board joined "the join"
pair_x=$(min "${home_x[piece]}" "${home_x[neighbour]}")
pair_y=$(min "${home_y[piece]}" "${home_y[neighbour]}")
pair_size=$(($(max $((home_x[piece] + w[piece])) $((home_x[neighbour] + w[neighbour]))) - pair_x))x$((
  $(max $((home_y[piece] + h[piece])) $((home_y[neighbour] + h[neighbour]))) - pair_y))
convert -size "$pair_size" xc:black -compose lighten \
  "$work/${mask[piece]}.png" -geometry "+$((home_x[piece] - pair_x))+$((home_y[piece] - pair_y))" -composite \
  "$work/${mask[neighbour]}.png" -geometry "+$((home_x[neighbour] - pair_x))+$((home_y[neighbour] - pair_y))" -composite \
  "$work/pair-mask.png"
"$tool" render "$work/gift" --out "$work/solved.png" --layout solved >/dev/null
convert "$work/solved.png" -crop "$pair_size+$pair_x+$pair_y" +repage \
  "$work/pair-mask.png" -compose multiply -composite "$work/pair-solved.png"
convert "$work/joined.png" -crop "$pair_size+$((x[piece] - home_x[piece] + pair_x))+$((y[piece] - home_y[piece] + pair_y))" \
  +repage "$work/pair-mask.png" -compose multiply -composite "$work/pair-board.png"
[ "$(differing "$work/pair-solved.png" "$work/pair-board.png")" = 0 ] ||
  fail "the joined pair is not the picture put together; see $work/pair-board.png and $work/pair-solved.png"
echo "join: piece $piece joined its right-hand neighbour $neighbour, Solved changed, no trails"

# A band dragged from free board around two loose pieces lifts them; a drag
# of one of them moves both, and nothing else.
first=3 second=5 shift_x=30 shift_y=-50
band_left=$(($(min "${x[first]}" "${x[second]}") - 5))
band_top=$(($(min "${y[first]}" "${y[second]}") - 5))
band_right=$(($(max $((x[first] + w[first])) $((x[second] + w[second]))) + 5))
band_bottom=$(($(max $((y[first] + h[first])) $((y[second] + h[second]))) + 5))
expect_free $((x[first] + shift_x)) $((y[first] + shift_y)) "${w[first]}" "${h[first]}" "$first" "$second"
expect_free $((x[second] + shift_x)) $((y[second] + shift_y)) "${w[second]}" "${h[second]}" "$first" "$second"
expect_grab_point "$first"
old_first=$(rect_of $first) old_second=$(rect_of $second)
drag "$band_left" "$band_top" "$band_right" "$band_bottom"
drag "$(grab_x $first)" "$(grab_y $first)" $(($(grab_x $first) + shift_x)) $(($(grab_y $first) + shift_y))
x[first]=$((x[first] + shift_x)) y[first]=$((y[first] + shift_y))
x[second]=$((x[second] + shift_x)) y[second]=$((y[second] + shift_y))
board_shot band-moved
expect_no_trails joined band-moved "the band selection's move" "$old_first" "$old_second" "$(rect_of $first)" \
  "$(rect_of $second)"
expect_board band-moved "the band selection's move"
echo "band: pieces $first and $second moved together by $shift_x,$shift_y, no trails"

# Options > Rotating Pieces; the question whether to turn some pieces now is
# answered No, and nothing turns.
focus_main
xdotool key alt+o
sleep 0.5
xdotool key r
answer n
board_shot rotation-on
expect_board rotation-on "answering No to turning pieces"

# Ctrl+click turns a piece a quarter counter-clockwise where it lies.
turned=2
expect_free "${x[turned]}" "${y[turned]}" "${h[turned]}" "${w[turned]}" "$turned"
expect_grab_point "$turned"
old_turned=$(rect_of $turned)
xdotool mousemove "$(screen_x "$(grab_x $turned)")" "$(screen_y "$(grab_y $turned)")"
sleep 0.2
xdotool keydown ctrl
sleep 0.1
xdotool click 1
sleep 0.1
xdotool keyup ctrl
sleep 0.5
# The rim lies along the inside of a piece's outline, its light and dark sides
# after the way the piece lies, and a turn makes it again: the pixels within
# the rim's depth of the outline may differ from the turned picture. The
# depth is where the game's rimmed and bare pictures of the piece at home
# stop differing.
"$tool" render "$work/gift" --out "$work/solved-bare.png" --layout solved --outline none >/dev/null
home_rect="${w[turned]}x${h[turned]}+${home_x[turned]}+${home_y[turned]}"
convert "$work/solved.png" -crop "$home_rect" +repage "$work/rimmed$turned.png"
convert "$work/solved-bare.png" -crop "$home_rect" +repage "$work/bare$turned.png"
same_mask "$work/rimmed$turned.png" "$work/bare$turned.png" "$work/no-rim$turned.png"
convert "$work/no-rim$turned.png" -negate "$work/${mask[turned]}.png" -compose multiply -composite "$work/rim$turned.png"
rim_depth=1
while
  inside "$work/${mask[turned]}.png" $rim_depth "$work/inside$turned.png"
  convert "$work/inside$turned.png" "$work/rim$turned.png" -compose multiply -composite "$work/rim-inside$turned.png"
  [ "$(white_pixels "$work/rim-inside$turned.png")" != 0 ]
do
  rim_depth=$((rim_depth + 1))
done
convert "$work/${image[turned]}.png" -rotate -90 "$work/turned$turned.png"
convert "$work/${mask[turned]}.png" -rotate -90 "$work/mask-turned$turned.png"
inside "$work/mask-turned$turned.png" $rim_depth "$work/inside-turned$turned.png"
convert "$work/mask-turned$turned.png" \( "$work/inside-turned$turned.png" -negate \) -compose multiply -composite \
  "$work/rim-turned$turned.png"
image[turned]=turned$turned mask[turned]=mask-turned$turned
read -r "w[turned]" "h[turned]" <<<"${h[turned]} ${w[turned]}"
rims+=("rim-turned$turned +${x[turned]}+${y[turned]}")
board_shot turned
expect_no_trails band-moved turned "the turn" "$old_turned" "$(rect_of $turned)"
expect_board turned "the turn"
echo "turn: piece $turned turned a quarter counter-clockwise (rims $rim_depth pixels deep aside), no trails"

focus_main
exit_player
echo "mouse play: all checks passed"
