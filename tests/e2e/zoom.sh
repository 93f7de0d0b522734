#!/usr/bin/env bash
# Zooms in the real program under Xvfb: "z" over the fitted picture shows it at 100 % about the
# pointer, a drag moves it, Page Down shows the next picture at the same place, and the picture
# box then holds exactly the file's pixels there; Esc leaves the zoom before it asks to quit.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

helper=$(dirname "$0")/zoom_pixels.py
src=$E2E_WORK/fotky
mkdir -p "$E2E_WORK/start" "$src"
# Pictures of random pixels, so that every part of them is found at one place only.
for name in a b; do
  { printf 'P6\n1600 1000\n255\n'; head -c 4800000 /dev/urandom; } |
    cjpeg -quality 90 -outfile "$src/$name.jpg"
done
djpeg -outfile "$E2E_WORK/b.decoded.ppm" "$src/b.jpg"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\n[nast]\nshow=0\n' "$src" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")
settle_viewer "$viewer"

# Over the fitted picture, left of its middle; then dragged left and up.
xdotool mousemove --window "$viewer" 458 330
eval "$(xdotool getmouselocation --shell)"
key z
xdotool mousedown 1 mousemove_relative -- -50 -30 mousemove_relative -- -50 -30 mouseup 1
key Next
result=""
for _ in $(seq 1 25); do
  xwd -root -silent > "$E2E_WORK/screen.xwd"
  result=$(python3 "$helper" "$E2E_WORK/screen.xwd" "$E2E_WORK/b.decoded.ppm" "$X" "$Y" -100 -60)
  [ "$result" = ok ] && break
  sleep 0.2
done
[ "$result" = ok ] || fail "zoomed on b.jpg: $result"

# The first Esc only leaves the zoom; the second asks to quit.
key Escape
sleep 1
! xdotool search --onlyvisible --name '^Pixly$' >/dev/null 2>&1 || fail "Esc asked to quit while zoomed"
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: \"z\", a drag and Page Down showed the next picture's own pixels at the same place"
