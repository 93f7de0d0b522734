#!/usr/bin/env bash
# Sorts pictures in the real program under Xvfb with real key presses: opens
# the first picture, copies it with "c", deletes it, and copies the next one.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
cp "$E2E_PICTURE" "$src/a.jpg"
cp "$E2E_PICTURE" "$src/b.jpg"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n' "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)

viewer=$(open_first_picture "$window")

# "c" proposes the picture's own name; Enter accepts it, Enter closes the confirmation.
key c
key_in "Kopírování" Return
key_in "Pixly" Return
wait_for_no_window "Pixly"
cmp -s "$src/a.jpg" "$dst/a.jpg" || fail "the copy does not hold the picture's bytes"

# Delete asks with No as the default: Shift+Tab moves to Yes.
xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
key Delete
answer_yes "Smazat"
wait_for_no_window "Smazat"
[ ! -e "$src/a.jpg" ] || fail "the deleted picture is still there"

# The next picture is now current: copying proposes its name.
xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
key c
key_in "Kopírování" Return
key_in "Pixly" Return
wait_for_no_window "Pixly"
[ -e "$dst/b.jpg" ] || fail "the next picture was not shown after the delete"

# Esc and Yes end the program without writing anything.
before=$(cat "$config")
wait_for_no_window "Pixly"
xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
key Escape
answer_yes "Pixly"
wait_for_exit
[ "$(cat "$config")" = "$before" ] || fail "Esc wrote settings"
echo "e2e: picture copied, deleted and the next one shown"
