#!/usr/bin/env bash
# Keys pressed faster than pictures are read act on the picture the user then sees: in the real
# program under Xvfb, Delete and "c" pressed while a large photo is still being read ask only
# once it is on screen, and act on it.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
gst-launch-1.0 -q videotestsrc num-buffers=1 pattern=white ! video/x-raw,width=320,height=240 ! jpegenc ! \
  filesink location="$src/a.jpg"
# Large grainy photos, each of a colour of its own, that take a while to read.
for picture in "b 190,60,60" "c 60,60,190" "d 60,190,60"; do
  set -- $picture
  convert -size 6000x4000 "xc:rgb($2)" -attenuate 5 +noise Gaussian -quality 90 "$src/$1.jpg"
done
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n[nast]\nshow=0\n' \
  "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")
# The middle of the picture box of the main viewer.
shown() { screen_colour 480 330 60 50; }

# Two steps and Delete at once: the question comes with the third picture on screen.
focus_window "$viewer"
xdotool key --delay 20 Right Right Delete
wait_for_window "Smazat" >/dev/null
on_screen=$(shown)
[ "$on_screen" = blue ] || fail "the delete question stood over a $on_screen picture, not over c.jpg"
answer_yes "Smazat"
for _ in $(seq 1 25); do [ -e "$src/c.jpg" ] || break; sleep 0.2; done
[ "$(cd "$src" && ls | tr '\n' ' ')" = "a.jpg b.jpg d.jpg " ] || fail "Delete took another picture than c.jpg"

# A step back and "c" at once: the copy is asked for with b.jpg on screen, and copies it.
settle_viewer "$viewer"
focus_window "$viewer"
xdotool key --delay 20 Left c
wait_for_window "Kopírování" >/dev/null
on_screen=$(shown)
[ "$on_screen" = red ] || fail "the copy was asked for over a $on_screen picture, not over b.jpg"
key_in "Kopírování" Return
for _ in $(seq 1 25); do [ -e "$dst/b.jpg" ] && break; sleep 0.2; done
cmp -s "$src/b.jpg" "$dst/b.jpg" || fail "\"c\" did not copy b.jpg"

focus_window "$viewer"
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: quick keys acted on the picture on screen"
