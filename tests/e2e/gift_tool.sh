#!/usr/bin/env bash
# tessarine-gift make and info: a gift from a PNG and a tune, read back field
# by field; a progressive JPEG stored as baseline; a CMYK JPEG turned into
# colour; a gift given as the player; bad input, a damaged JPEG among it,
# refused with one line and exit status 2, leaving no file behind.
set -euo pipefail

build=$(cd "$1" && pwd)
tool="$build/tessarine-gift"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

"$build/tools/demo/demo-picture" picture.png
"$build/tools/demo/demo-tune" tune.mid

# Prints field $2 of gift $1 as info shows it (info runs once a gift).
field() {
  [ -f "$1.info" ] || "$tool" info "$1" >"$1.info"
  sed -n "s/^$2: //p" "$1.info"
}
expect_field() {
  local actual
  actual=$(field "$1" "$2")
  [ "$actual" = "$3" ] || fail "$1 $2 is '$actual', expected '$3'"
}
# Bytes $2 to $2 + $3 of file $1.
region() { dd if="$1" iflag=skip_bytes,count_bytes skip="$2" count="$3" bs=64K status=none; }
# A sequential (baseline) JPEG file?
is_baseline() {
  local report
  report=$(djpeg -verbose -outfile /dev/null "$1" 2>&1)
  [[ $report == *"Start Of Frame 0xc0"* ]]
}
# The picture of gift $1 as a file of its own.
extract_picture() { region "$1" "$(field "$1" PictureOffset)" "$(field "$1" PictureLength)" >"$2"; }

"$tool" make -o gift --picture picture.png --music tune.mid --title "Lake day" --creator "Ann Example" \
  --description 'First line\nSecond line' --pieces 60 --oddness 5 --seed 12345 --style star \
  --outline wood --rotation --background clSkyBlue --opening-text "Hello Ann" --closing-text "Bye now" >/dev/null
[ -x gift ] || fail "the gift is not executable"
player_size=$(stat -c %s "$build/shell/tessarine")
music_size=$(stat -c %s tune.mid)
picture_length=$(field gift PictureLength)
[ "$(stat -c %s gift)" -eq $((player_size + picture_length + music_size + 3421)) ] || fail "gift size"
cmp -n "$player_size" gift "$build/shell/tessarine" || fail "the gift does not start with the player"

expect_field gift RecordSize 3421
expect_field gift PictureOffset "$player_size"
expect_field gift MusicOffset $((player_size + picture_length))
expect_field gift MusicLength "$music_size"
expect_field gift CreatorVersion "v$("$tool" --version | sed 's/^tessarine-gift //')"
expect_field gift Title "Lake day"
expect_field gift Creator "Ann Example"
expect_field gift Description 'First line\nSecond line'
expect_field gift BackgroundColor clSkyBlue
expect_field gift RequestedPieces 60
expect_field gift Oddness 5
expect_field gift Seed 12345
expect_field gift OpeningText "Hello Ann"
expect_field gift ClosingText "Bye now"
expect_field gift OpeningColorName clCream
expect_field gift OpeningAlignment "2 (centred)"
expect_field gift ShapeStyle "4 (star)"
expect_field gift OutlineStyle "3 (wood)"
expect_field gift RotationOn "1 (yes)"
expect_field gift Picture "800 x 600"
expect_field gift Grid "9 x 7 (63 pieces)"
region gift "$(field gift MusicOffset)" "$music_size" | cmp - tune.mid || fail "music bytes"
extract_picture gift stored.jpg
is_baseline stored.jpg || fail "PNG not stored as baseline JPEG"

# Defaults: no music, 100 pieces, oddness 3, classic, card, no rotation.
"$tool" make -o plain --picture picture.png >/dev/null
expect_field plain MusicLength 0
expect_field plain MusicOffset 0
expect_field plain RequestedPieces 100
expect_field plain Oddness 3
expect_field plain ShapeStyle "1 (classic)"
expect_field plain OutlineStyle "2 (card)"
expect_field plain RotationOn "0 (no)"
expect_field plain Title Picture

# A baseline JPEG is stored as it is; a progressive one becomes baseline.
"$tool" make -o same --picture stored.jpg >/dev/null
extract_picture same same.jpg
cmp same.jpg stored.jpg || fail "a baseline JPEG was not kept as it is"
jpegtran -progressive stored.jpg >progressive.jpg
"$tool" make -o fromprog --picture progressive.jpg >/dev/null
extract_picture fromprog fromprog.jpg
is_baseline progressive.jpg && fail "jpegtran made no progressive JPEG"
is_baseline fromprog.jpg || fail "progressive JPEG kept"
expect_field fromprog Picture "800 x 600"

# A CMYK JPEG (ImageMagick writes its inks inverted, with Adobe's marker)
# becomes a baseline colour JPEG of the same picture, through the player's
# own decoder.
convert stored.jpg -colorspace CMYK cmyk.jpg
[[ $(identify -format %[colorspace] cmyk.jpg) == CMYK ]] || fail "ImageMagick made no CMYK JPEG"
"$tool" make -o fromcmyk --picture cmyk.jpg >/dev/null
extract_picture fromcmyk fromcmyk.jpg
is_baseline fromcmyk.jpg || fail "CMYK JPEG kept"
expect_field fromcmyk Picture "800 x 600"
# compare's status tells only whether the pictures differ at all.
difference=$(compare -metric RMSE stored.jpg fromcmyk.jpg null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
awk -v d="$difference" 'BEGIN { exit !(d < 0.03) }' || fail "the CMYK picture's colours changed: RMSE $difference"

# Any picture Qt reads: a BMP becomes a baseline JPEG of the same picture.
convert picture.png picture.bmp
"$tool" make -o frombmp --picture picture.bmp >/dev/null
expect_field frombmp Picture "800 x 600"
extract_picture frombmp frombmp.jpg
is_baseline frombmp.jpg || fail "BMP not stored as baseline JPEG"

# A gift as the player: only its program part is copied.
"$tool" make -o regift --player gift --picture stored.jpg >/dev/null
[ "$(field regift PictureOffset)" -eq "$player_size" ] || fail "a gift as the player kept its old picture"

# A data gift: the picture, the tune and the trailer, offsets from its start;
# every field as in the executable gift made from the same options.
"$tool" make -o gift.tgift --picture picture.png --music tune.mid --title "Lake day" --creator "Ann Example" \
  --description 'First line\nSecond line' --pieces 60 --oddness 5 --seed 12345 --style star \
  --outline wood --rotation --background clSkyBlue --opening-text "Hello Ann" --closing-text "Bye now" >/dev/null
[ ! -x gift.tgift ] || fail "the data gift is executable"
data_picture=$(field gift.tgift PictureLength)
[ "$(stat -c %s gift.tgift)" -eq $((data_picture + music_size + 3421)) ] || fail "data gift size"
expect_field gift.tgift PictureOffset 0
expect_field gift.tgift MusicOffset "$data_picture"
expect_field gift.tgift MusicLength "$music_size"
cmp <(sed '/^PictureOffset\|^MusicOffset\|^CreatedAt/d' gift.info) \
    <(sed '/^PictureOffset\|^MusicOffset\|^CreatedAt/d' gift.tgift.info) || fail "the data gift's fields differ"
cmp <(region gift.tgift 0 "$data_picture") <(region gift "$player_size" "$picture_length") ||
  fail "the data gift's picture differs"
cmp <(region gift.tgift "$data_picture" "$music_size") tune.mid || fail "the data gift's tune differs"
# The executable gift is read as data too.
"$tool" render gift --out from-program.png --layout scattered >/dev/null
"$tool" render gift.tgift --out from-data.png --layout scattered >/dev/null
cmp from-program.png from-data.png || fail "the data gift renders otherwise"

# Help and version on stdout with status 0, also for one command.
"$tool" --help | grep -q '^  make -o OUT' || fail "--help"
"$tool" --version | grep -qx 'tessarine-gift [0-9.]*' || fail "--version: $("$tool" --version)"
"$tool" make --help | grep -q '^usage: tessarine-gift make ' || fail "make --help"
status=0
"$tool" make --frobnicate 2>err.txt || status=$?
[ "$status" -eq 2 ] && grep -q '^usage: tessarine-gift make ' err.txt || fail "a wrong option gives no usage"

# Bad input: one line on stderr, exit status 2, no file.
printf 'not a picture' >text.png
printf 'RIFF....RMIDdata' >bad.mid
head -c 30 tune.mid >short.mid
long_title=$(printf 'x%.0s' $(seq 1 65))
refuse() {
  local status=0
  "$tool" "$@" 2>err.txt >/dev/null || status=$?
  [ "$status" -eq 2 ] || fail "'$*' gave status $status, expected 2"
  # A wrong command line is followed by the command's usage.
  [ "$(grep -vc '^usage: ' err.txt)" -eq 1 ] || fail "'$*' printed $(wc -l <err.txt) lines: $(cat err.txt)"
  [ ! -e out ] || fail "'$*' left a file behind"
  local left
  left=$(ls -a)
  [[ $left != *out.* ]] || fail "'$*' left a temporary file behind"
  rm -f out
}
refuse make -o out --picture missing.png
refuse make -o out --picture text.png
refuse make -o out
refuse make --picture picture.png
refuse make -o out --picture picture.png --music bad.mid
refuse make -o out --picture picture.png --music short.mid
refuse make -o out --picture picture.png --oddness 11
refuse make -o out --picture picture.png --pieces 0
refuse make -o out --picture picture.png --seed -1
refuse make -o out --picture picture.png --style wavy
refuse make -o out --picture picture.png --outline glass
refuse make -o out --picture picture.png --background notacolour
refuse make -o out --picture picture.png --title "$long_title"
refuse make -o out --picture picture.png --title "$(printf 'Snow \xe2\x9d\x84')"
refuse make -o out --picture picture.png --player missing-player
refuse make -o out --picture picture.png --frobnicate
refuse make -o no/such/folder/out --picture picture.png
refuse info missing-gift
refuse info picture.png
refuse info
head -c 5000 gift >cut-gift
refuse info cut-gift
refuse info .
refuse make -o out.tgift --picture picture.png --player "$build/shell/tessarine"
refuse thumbnail gift.tgift out 0
refuse thumbnail picture.png out 64

# A baseline JPEG of 60000 x 2 pixels: its one piece would take a sheet of
# 60000 x 60000 pixels. Refused by the player's own rule before anything is
# cut, well within a memory limit of 1 GiB.
{ printf 'P6\n60000 2\n255\n'; head -c 360000 /dev/zero | tr '\0' '\200'; } | cjpeg -quality 80 >thin.jpg
is_baseline thin.jpg || fail "cjpeg made no baseline JPEG"
status=0
prlimit --as=$((1 << 30)) "$tool" make -o out --picture thin.jpg 2>err.txt >/dev/null || status=$?
[ "$status" -eq 2 ] || fail "the thin picture gave status $status, expected 2: $(cat err.txt)"
grep -q "cannot be cut into 1 x 1 pieces" err.txt || fail "the thin picture's refusal: $(cat err.txt)"
[ ! -e out ] || fail "the thin picture left a gift behind"
rm -f out

# A baseline JPEG cut short, and one with RST markers written over the middle
# of the file, well inside its picture data: libjpeg only warns and fills in
# the rest, so only decoding the whole picture finds them.
jpeg_size=$(stat -c %s stored.jpg)
head -c $((jpeg_size / 2)) stored.jpg >truncated.jpg
cp stored.jpg corrupt.jpg
printf '\xff\xd0%.0s' 1 2 3 4 5 6 7 8 |
  dd of=corrupt.jpg bs=1 seek=$((jpeg_size / 2)) conv=notrunc status=none
for damaged in truncated corrupt; do
  warning=$(djpeg -outfile /dev/null $damaged.jpg 2>&1 || true)
  [ -n "$warning" ] || fail "djpeg finds nothing wrong with $damaged.jpg"
  refuse make -o out --picture $damaged.jpg
  grep -q "\"$damaged.jpg\": The picture is damaged: " err.txt || fail "$damaged.jpg: $(cat err.txt)"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "gift tool: all checks passed"
