#!/usr/bin/env bash
# The Debian package of the programs this build made, as package.sh makes
# it: lintian finds no error; extracted into a scratch root, its desktop
# entry and AppStream data pass their validators, its file type makes a
# .tgift the player's, and the extracted tool makes a gift whose thumbnail
# has the size asked for and which the extracted player shows on the board.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
for program in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate update-desktop-database appstreamcli \
               update-mime-database xdg-mime mimetype; do
  command -v "$program" >/dev/null || { echo "no $program here: skipped"; exit 77; }
done
app_id=$(sed -n 's/^TG_APP_ID:STRING=//p' "$build/CMakeCache.txt")
source "$(dirname "$0")/screen.bash"
source "$source_dir/scripts/package.bash"
start_screen 1024x768x24

deb=$(tg_package "$build" "$work/package") || fail "no package"
grep -q "Building CXX\|Linking" "$work/package/cpack.log" && fail "packaging compiled the programs again"
echo "== lintian $(basename "$deb") =="
tg_lint "$deb" || fail "lintian finds errors"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the package does not depend on Qt: $(dpkg-deb -f "$deb" Depends)"

root="$work/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
for file in usr/games/tessarine usr/bin/tessarine-gift usr/share/games/tessarine-gift/demo.tgift \
            "usr/share/icons/hicolor/scalable/apps/$app_id.svg" "usr/share/icons/hicolor/512x512/apps/$app_id.png" \
            usr/share/icons/hicolor/48x48/mimetypes/application-x-tessarine-gift.png \
            usr/share/man/man6/tessarine.6.gz usr/share/man/man6/tessarine-gift.6.gz; do
  [ -e "$root/$file" ] || fail "the package has no /$file"
done
[ "$(identify -format %wx%h "$share/icons/hicolor/16x16/apps/$app_id.png")" = 16x16 ] || fail "16 pixel icon"
file "$root/usr/games/tessarine" | grep -q 'stripped' && ! file "$root/usr/games/tessarine" | grep -q 'not stripped' ||
  fail "the player is not stripped"

desktop_entry="$share/applications/$app_id.desktop"
desktop-file-validate "$desktop_entry" || fail "desktop-file-validate"
grep -qx 'Exec=/usr/games/tessarine %f' "$desktop_entry" || fail "the entry does not start the installed player"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"

# The file type, registered in the scratch root as the package's triggers
# register it on a system.
XDG_DATA_DIRS="$share" update-mime-database "$share/mime"
update-desktop-database "$share/applications"
mkdir -p "$work/home"
mime() { env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION HOME="$work/home" XDG_DATA_HOME="$work/home" \
         XDG_CONFIG_HOME="$work/home" XDG_DATA_DIRS="$share" xdg-mime "$@"; }

tool="$root/usr/bin/tessarine-gift"
"$build/tools/demo/demo-picture" "$work/picture.png"
"$tool" make -o "$work/gift.tgift" --picture "$work/picture.png" --pieces 24 --seed 5 >/dev/null || fail "make"
picture_length=$("$tool" info "$work/gift.tgift" | sed -n 's/^PictureLength: //p')
[ "$(stat -c %s "$work/gift.tgift")" -eq $((picture_length + 3421)) ] || fail "the data gift's size"
# Without --player the installed tool copies the installed player, which
# carries no symbols.
"$tool" make -o "$work/exe-gift" --picture "$work/picture.png" >/dev/null || fail "make an executable gift"
player_size=$(stat -c %s "$root/usr/games/tessarine")
cmp -s -n "$player_size" "$work/exe-gift" "$root/usr/games/tessarine" || fail "the gift is no copy of the installed player"
[ "$player_size" -lt $((8 << 20)) ] || fail "the installed player is $player_size bytes"
[ "$(mime query filetype "$work/gift.tgift")" = application/x-tessarine-gift ] ||
  fail "a .tgift is $(mime query filetype "$work/gift.tgift")"
[ "$(mime query default application/x-tessarine-gift)" = "$app_id.desktop" ] ||
  fail "the default for gifts is '$(mime query default application/x-tessarine-gift)'"

# The thumbnailer's own command line, the installed paths taken into the
# scratch root.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/$app_id.thumbnailer")
exec_line=${exec_line//\/usr\//$root/usr/}
exec_line=${exec_line//%i/$work/gift.tgift}
exec_line=${exec_line//%o/$work/thumbnail.png}
exec_line=${exec_line//%s/128}
$exec_line || fail "the thumbnailer failed"
[ "$(identify -format '%m %w' "$work/thumbnail.png")" = "PNG 128" ] ||
  fail "the thumbnail is $(identify -format '%m %wx%h' "$work/thumbnail.png")"

# The extracted player shows the gift's board; then, given nothing, the
# demo gift installed beside it.
open_gift "$root/usr/games/tessarine" "$work/gift.tgift"
play_from_splash
shot board
find_board "$tool" "$work/gift.tgift" "$main" board || fail "the extracted player does not show the gift's board"
kill "$pid"
wait "$pid" 2>/dev/null || true
open_gift "$root/usr/games/tessarine"
play_from_splash
shot demo
find_board "$tool" "$share/games/tessarine-gift/demo.tgift" "$main" demo ||
  fail "the extracted player without a gift does not show the demo gift"
echo "package checked"
