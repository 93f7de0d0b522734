#!/usr/bin/env bash
# Sorts with the favourites' digits in the real program under Xvfb: a phone
# photo stored on its side (EXIF orientation 6) is shown upright, and "2" in
# the main viewer copies it into the second favourite folder.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
first=$E2E_WORK/rodina
second=$E2E_WORK/dovolena
mkdir -p "$E2E_WORK/start" "$src" "$first" "$second"
helper=$(dirname "$0")/screen.py
# A red landscape picture of 240 x 160 that the camera says to turn a quarter clockwise.
gst-launch-1.0 -q videotestsrc num-buffers=1 pattern=red ! video/x-raw,width=240,height=160 ! jpegenc ! \
  filesink location="$E2E_WORK/red.jpg"
python3 "$helper" orient "$E2E_WORK/red.jpg" "$src/a.jpg" 6
printf 'Rodina;%s\r\nDovolená;%s\r\n' "$first" "$second" | iconv -f UTF-8 -t CP1250 \
  > "$E2E_WORK/start/$(id -un | tr 'A-Z' 'a-z').dat"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
# No copy confirmation, so that the copy asks only for the name.
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\n[nast]\nshow=0\n' "$src" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")

shown=""
for _ in $(seq 1 25); do
  xwd -root -silent > "$E2E_WORK/screen.xwd"
  shown=$(python3 "$helper" redbox "$E2E_WORK/screen.xwd")
  [ "$shown" = "160 240" ] && break
  sleep 0.2
done
[ "$shown" = "160 240" ] || fail "the phone photo is not shown upright as 160 x 240 (red area: $shown)"

# "2" proposes the picture's own name; Enter accepts it.
key 2
key_in "Kopírování" Return
wait_for_no_window "Kopírování"
for _ in $(seq 1 25); do [ -e "$second/a.jpg" ] && break; sleep 0.2; done
cmp -s "$src/a.jpg" "$second/a.jpg" || fail "the second favourite folder has no copy of the picture"
[ -z "$(ls -A "$first")" ] || fail "the first favourite folder got something"

xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: a phone photo was shown upright and \"2\" copied it into the second favourite folder"
