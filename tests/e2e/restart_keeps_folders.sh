#!/usr/bin/env bash
# Starts the real program under Xvfb in a temporary home, changes the source
# folder and quits with real key presses, then starts it again and checks
# that the folders were restored and the version record was written.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

mkdir -p "$E2E_WORK/start" "$E2E_WORK/src/zzz_vybrane" "$E2E_WORK/dst"
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
# A profile of this version with the automatic update check off.
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n' \
  "$E2E_WORK/src" "$E2E_WORK/dst" > "$config"

start_window_manager

# First run: go into the last subfolder of the source tree, then quit.
window=$(start_pixly)
click_in_window "$window" 100 120      # the source folder tree
key End Return
sleep 0.5
quit_with_yes "$window"
wait_for_exit

grep -q "^verze=2.2$" "$config" || fail "version record missing: $(cat "$config")"
grep -q "^directory1=$E2E_WORK/src/zzz_vybrane$" "$config" || fail "source folder not stored: $(cat "$config")"
grep -q "^directory2=$E2E_WORK/dst$" "$config" || fail "destination folder not stored: $(cat "$config")"

# Second run: the stored folders come back; quitting stores them unchanged.
window=$(start_pixly)
quit_with_yes "$window"
wait_for_exit
grep -q "^directory1=$E2E_WORK/src/zzz_vybrane$" "$config" || fail "source folder not restored: $(cat "$config")"
grep -q "^directory2=$E2E_WORK/dst$" "$config" || fail "destination folder not restored: $(cat "$config")"
echo "e2e: folders restored after restart"
