#!/usr/bin/env bash
# Takes sorting steps back in the real program under Xvfb, over pictures of
# which two are RAW + JPEG photos with sidecars: a deleted photo goes to the
# trash with its info and Ctrl+Z brings all its files back byte for byte; a
# copy, by "c" and by a favourite's digit, takes all of them and is removed
# again by Ctrl+Z; after a bounded random session of sorting keys (copies,
# renames, favourites' digits, deletions, undo), first copying, then renaming,
# every original file is whole somewhere it belongs, no photo is split and
# nothing else was written.
# Run through run_e2e.sh; E2E_SEED repeats a session.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
fav=$E2E_WORK/oblibene
trash=$XDG_DATA_HOME/Trash
mkdir -p "$E2E_WORK/start" "$src" "$dst" "$fav"
# Pictures of bytes of their own, so that a wrong file in the right place shows.
colours=(red green blue white)
names=(a b c d)
for i in "${!names[@]}"; do
  gst-launch-1.0 -q videotestsrc num-buffers=1 pattern="${colours[i]}" ! video/x-raw,width=320,height=240 ! \
    jpegenc ! filesink location="$src/${names[i]}.jpg"
done
# a and b are photos of three files; their RAWs and sidecars are bytes of their own.
for name in a b; do
  head -c 4096 /dev/urandom > "$src/$name.nef"
  head -c 512 /dev/urandom | base64 > "$src/$name.NEF.xmp"
done
hash_of() { if [ -f "$1" ]; then sha256sum < "$1" | cut -d' ' -f1; else echo missing; fi; }
originals=$(cd "$src" && sha256sum -- * | cut -d' ' -f1 | sort)
# Each photo's JPEG beside its RAW and its sidecar.
photos=$(for name in a b; do
  echo "$(hash_of "$src/$name.jpg") $(hash_of "$src/$name.nef") $(hash_of "$src/$name.NEF.xmp")"
done)
printf 'Oblibene;%s\r\n' "$fav" > "$E2E_WORK/start/$(id -un | tr 'A-Z' 'a-z').dat"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
# No copy confirmations, so that a copy asks only for the name.
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n[nast]\nshow=0\n' \
  "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")

in_viewer() {
  focus_window "$viewer"
  key "$@"
}

# Waits until the file's presence is as asked ("yes" or "no").
wait_for_file() {
  local path=$1 want=$2
  for _ in $(seq 1 25); do
    if [ -e "$path" ]; then [ "$want" = yes ] && return 0; else [ "$want" = no ] && return 0; fi
    sleep 0.2
  done
  fail "$path: expected present=$want"
}

# Delete: the photo goes to the trash, with an info file naming each file's place.
first=$(sha256sum < "$src/a.jpg")
in_viewer Delete
answer_yes "Smazat"
wait_for_file "$src/a.jpg" no
for f in a.jpg a.nef a.NEF.xmp; do [ -f "$trash/files/$f" ] || fail "$f is not in the trash"; done
[ ! -e "$src/a.nef" ] || fail "the RAW stayed behind"
grep -qx "Path=$src/a.jpg" "$trash/info/a.jpg.trashinfo" || fail "the trash info does not name the picture's place"
grep -Eqx 'DeletionDate=[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}' "$trash/info/a.jpg.trashinfo" ||
  fail "the trash info has no deletion date"

# Ctrl+Z brings it back byte for byte, and its info goes.
in_viewer ctrl+z
wait_for_file "$src/a.jpg" yes
[ "$(sha256sum < "$src/a.jpg")" = "$first" ] || fail "the restored picture differs"
[ -f "$src/a.nef" ] && [ -f "$src/a.NEF.xmp" ] || fail "the photo's other files did not come back"
[ -z "$(ls "$trash/info")" ] || fail "a trash info stayed"

# A copy by "c" and by the favourite's digit takes the whole photo, and Ctrl+Z removes it; the
# restored picture is the current one.
for copy in "c $dst" "1 $fav"; do
  set -- $copy
  in_viewer "$1"
  key_in "Kopírování" Return
  wait_for_file "$2/a.jpg" yes
  wait_for_file "$2/a.NEF.xmp" yes
  [ "$(hash_of "$2/a.nef")" = "$(hash_of "$src/a.nef")" ] || fail "the RAW was not copied with its JPEG"
  in_viewer ctrl+z
  wait_for_file "$2/a.jpg" no
  [ -z "$(ls "$2")" ] || fail "the undone copy left $(ls "$2")"
done

seed=${E2E_SEED:-$RANDOM}
RANDOM=$seed
echo "e2e: random session with E2E_SEED=$seed"
# Each press ends with the viewer having handled it; a question or message it raised is answered
# with its default button.
session() {
  local mode=$1 step
  for step in $(seq 1 12); do
    case $((RANDOM % 6)) in
      0) in_viewer Right ;;
      1) in_viewer Left ;;
      2) in_viewer c
         if [ "$mode" = copy ]; then key_in "Kopírování" Return
         else key_in "Přejmenování" ctrl+a; xdotool type "r$step"; key Return; fi ;;
      3) if [ "$mode" = copy ]; then in_viewer 1; key_in "Kopírování" Return
         elif [ "$(ls "$src"/*.jpg | wc -l)" -gt 1 ]; then in_viewer 1; key_in "Přejmenování" Return; fi ;;
      # The last picture stays, so the viewer never runs out of pictures.
      4) if [ "$(ls "$src"/*.jpg | wc -l)" -gt 1 ]; then in_viewer Delete; answer_yes "Smazat"; fi ;;
      5) in_viewer ctrl+z ;;
    esac
    settle_viewer "$viewer"
  done
}
session copy
# The folder window's action becomes "přejmenovávat", and the viewer opens again.
in_viewer F5
focus_window "$window"
xdotool mousemove --window "$window" 300 313 click 1
viewer=$(open_first_picture "$window")
session rename

# Every original is whole in the source folder, the favourite folder or the trash; every other
# file is a whole copy of one; nothing half-written or hidden is left.
kept=$(for f in "$src"/* "$fav"/* "$trash"/files/*; do if [ -f "$f" ]; then sha256sum < "$f" | cut -d' ' -f1; fi; done)
for hash in $originals; do
  echo "$kept" | grep -qx "$hash" || fail "an original picture was lost (E2E_SEED=$seed)"
done
for f in "$src"/* "$dst"/* "$fav"/*; do
  [ -f "$f" ] || continue
  echo "$originals" | grep -qx "$(sha256sum < "$f" | cut -d' ' -f1)" || fail "$f is no whole picture (E2E_SEED=$seed)"
done
leftovers=$(find "$src" "$dst" "$fav" -name '.*' | head -n 1)
[ -z "$leftovers" ] || fail "$leftovers was left behind (E2E_SEED=$seed)"
# Wherever a photo's file is, the others stand beside it under the same name.
for f in "$src"/* "$dst"/* "$fav"/*; do
  [ -f "$f" ] || continue
  name=$(basename "$f")
  stem=$(dirname "$f")/${name%%.*}
  line=$(echo "$photos" | grep -w "$(hash_of "$f")" || true)
  [ -n "$line" ] || continue
  [ "$line" = "$(hash_of "$stem.jpg") $(hash_of "$stem.nef") $(hash_of "$stem.NEF.xmp")" ] ||
    fail "the photo of $f was split (E2E_SEED=$seed)"
done

in_viewer Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: deletion and copies of a whole photo undone, every file kept, no photo split"
