#!/usr/bin/env bash
# Resamples a folder of pictures in the real program under Xvfb: first over
# the originals at 50 %, then at 200 % into the destination folder.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

# Width x height from a JPEG's frame header. A marker byte 0xFF is never
# followed by a frame code inside compressed data, and the program writes no
# thumbnail, so the first frame header is the picture's.
jpeg_size() {
  local frame
  frame=$(od -An -v -tx1 "$1" | tr -s ' \n' '  ' | grep -o -m 1 'ff c[0-2] .. .. .. .. .. .. ..') ||
    fail "$1 has no JPEG frame header"
  set -- $frame
  echo "$((16#$8$9))x$((16#$6$7))"
}

expect_size() {
  local size
  size=$(jpeg_size "$1")
  [ "$size" = "$2" ] || fail "$1 is $size instead of $2"
}

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
cp "$E2E_PICTURE" "$src/a.jpg"
cp "$E2E_PICTURE" "$src/b.jpg"
expect_size "$src/a.jpg" 962x613
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n' "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)

# "Resample" in the folder window, then "Jdi na to!" at the window's 50 %
# over the originals; 613 x 0.5 rounds to the even 306.
click_in_window "$window" 700 668
dialog=$(wait_for_window "Resample obrázků")
click_in_window "$dialog" 619 432
answer_yes "Resample"
wait_for_no_window "Resample obrázků"
expect_size "$src/a.jpg" 481x306
expect_size "$src/b.jpg" 481x306
[ -z "$(ls -A "$dst")" ] || fail "the run in place wrote into the destination"

# 200 % typed into the percentage (Shift+End selects the old number, Enter
# moves the track bar), "Do jiné složky", and run again.
click_in_window "$window" 700 668
dialog=$(wait_for_window "Resample obrázků")
click_in_window "$dialog" 626 84
key Home shift+End 2 0 0 Return
click_in_window "$dialog" 265 169
click_in_window "$dialog" 619 432
answer_yes "Resample"
wait_for_no_window "Resample obrázků"
expect_size "$dst/a.jpg" 962x612
expect_size "$dst/b.jpg" 962x612
expect_size "$src/a.jpg" 481x306
leftovers=$(ls -A "$src" "$dst" | grep -v -E '^(a|b)\.jpg$|^$|:$' || true)
[ -z "$leftovers" ] || fail "temporary files were left behind: $leftovers"

quit_with_yes "$window"
wait_for_exit
echo "e2e: resampled two pictures in place to 481x306 and into another folder to 962x612"
