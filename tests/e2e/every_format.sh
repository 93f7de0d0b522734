#!/usr/bin/env bash
# Sorts a folder holding one photo of every format in the real program under Xvfb: each is shown
# without an error box and copied with "c". The photos are made by format_samples
# ($E2E_FORMAT_SAMPLES). Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
"$E2E_FORMAT_SAMPLES" "$src" || fail "the photos could not be made"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n' "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")

names=$(cd "$src" && ls)
last=$(tail -n 1 <<<"$names")
for name in $names; do
  # A photo that cannot be shown opens the error box titled "Vendrax".
  sleep 1
  if xdotool search --onlyvisible --name "^Vendrax\$" >/dev/null 2>&1; then fail "$name was not shown"; fi
  xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
  key c
  key_in "Kopírování" Return
  key_in "Pixly" Return
  wait_for_no_window "Pixly"
  cmp -s "$src/$name" "$dst/$name" || fail "the copy of $name does not hold its bytes"
  if [ "$name" != "$last" ]; then
    xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
    key space
  fi
done

xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: a photo of every format shown and copied"
