#!/usr/bin/env bash
# Takes sorting steps back in the real program under Xvfb: a deleted picture
# goes to the trash with its info and Ctrl+Z brings it back byte for byte; a
# copy is removed again by Ctrl+Z; after a bounded random session of sorting
# keys every original picture is in the source folder or in the trash.
# Run through run_e2e.sh; E2E_SEED repeats a session.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
trash=$XDG_DATA_HOME/Trash
mkdir -p "$E2E_WORK/start" "$src" "$dst"
for name in a b c d; do cp "$E2E_PICTURE" "$src/$name.jpg"; done
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
# No copy confirmations, so that a copy asks only for the name.
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n[nast]\nshow=0\n' \
  "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)
viewer=$(open_first_picture "$window")

in_viewer() {
  xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
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

# Delete: the picture goes to the trash, with an info file naming its place.
in_viewer Delete
answer_yes "Smazat"
wait_for_file "$src/a.jpg" no
[ -f "$trash/files/a.jpg" ] || fail "the deleted picture is not in the trash"
grep -qx "Path=$src/a.jpg" "$trash/info/a.jpg.trashinfo" || fail "the trash info does not name the picture's place"
grep -Eqx 'DeletionDate=[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}' "$trash/info/a.jpg.trashinfo" ||
  fail "the trash info has no deletion date"

# Ctrl+Z brings it back byte for byte, and its info goes.
in_viewer ctrl+z
wait_for_file "$src/a.jpg" yes
cmp -s "$E2E_PICTURE" "$src/a.jpg" || fail "the restored picture differs"
[ ! -e "$trash/info/a.jpg.trashinfo" ] || fail "the trash info stayed"

# A copy, and Ctrl+Z removes it; the restored picture is the current one.
in_viewer c
key_in "Kopírování" Return
wait_for_file "$dst/a.jpg" yes
in_viewer ctrl+z
wait_for_file "$dst/a.jpg" no

# Answers what a step may have asked: the wrap-around question (Yes is the
# default) or a message that a step cannot be undone.
settle() {
  sleep 0.4
  local dialog
  dialog=$(xdotool search --onlyvisible --name '^Pixly$' 2>/dev/null | head -n 1 || true)
  if [ -n "$dialog" ]; then
    xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || true
    key Return
    wait_for_no_window "Pixly"
  fi
}

seed=${E2E_SEED:-$RANDOM}
RANDOM=$seed
echo "e2e: random session with E2E_SEED=$seed"
for _ in $(seq 1 14); do
  case $((RANDOM % 5)) in
    0) in_viewer Right ;;
    1) in_viewer Left ;;
    2) in_viewer c; key_in "Kopírování" Return ;;
    # The last picture stays, so the viewer never runs out of pictures.
    3) if [ "$(ls "$src" | wc -l)" -gt 1 ]; then in_viewer Delete; answer_yes "Smazat"; fi ;;
    4) in_viewer ctrl+z ;;
  esac
  settle
done

for name in a b c d; do
  [ -f "$src/$name.jpg" ] && continue
  grep -lx "Path=$src/$name.jpg" "$trash"/info/*.trashinfo >/dev/null 2>&1 ||
    fail "$name.jpg is neither in the source folder nor in the trash (E2E_SEED=$seed)"
done

in_viewer Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: deletion and copy undone, every picture kept"
