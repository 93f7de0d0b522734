#!/usr/bin/env bash
# The installed program with a fresh home, started from folders that have
# nothing to do with it: no message at start (but for the update check of a
# build that names its maker's server, which fails here), the pictures folder as source,
# nothing written where it was launched, favourites kept between starts, and
# a picture given on the command line opened in the main viewer.
# Run through run_e2e.sh with the installed program.
set -euo pipefail
source "$(dirname "$0")/../e2e/e2e_lib.sh"

export XDG_DATA_HOME="$HOME/.local/share"
# Such a build checks for a newer version at every start; with no server to reach it says so.
if [ -n "${E2E_MAKER_WEB:-}" ]; then export E2E_START_BOX='(Chyba!|Offline stav!)'; fi
pictures="$HOME/Obrázky"
elsewhere="$HOME/jinde"
mkdir -p "$pictures" "$elsewhere" "$XDG_CONFIG_HOME" "$E2E_WORK/start" "$E2E_WORK/other"
echo 'XDG_PICTURES_DIR="$HOME/Obrázky"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
cp "$E2E_PICTURE" "$elsewhere/fotka.jpg"
config="$XDG_CONFIG_HOME/Tremanova/Vendrax.conf"
favourites="$XDG_DATA_HOME/pixly/$(id -un | tr 'A-Z' 'a-z').dat"

# The favourites file is in Windows-1250.
has_favourite() {
  iconv -f CP1250 -t UTF-8 "$favourites" | tr -d '\r' | grep -qx "Dovolena;$pictures"
}

launch_folders_untouched() {
  for folder in "$E2E_WORK/start" "$E2E_WORK/other"; do
    [ -z "$(ls -A "$folder")" ] || fail "written into $folder: $(ls -A "$folder")"
  done
}

start_window_manager

# First start: the folder window alone, on the pictures folder; add a favourite.
window=$(start_pixly)
shown=$(xdotool search --onlyvisible --name '.' 2>/dev/null | xargs -r -n1 xdotool getwindowname | sort -u)
[ "$shown" = "Nastavení" ] || fail "windows at start: $shown"
click_in_window "$window" 500 262 # "Přidat"
key_in "Přidat novou oblíbenou složku" ctrl+a
xdotool type --delay 50 "Dovolena"
key Return
sleep 0.5
quit_with_yes "$window"
wait_for_exit
grep -qx "directory1=$pictures" "$config" || fail "source folder not the pictures folder: $(cat "$config")"
has_favourite || fail "favourite not stored: $(cat "$favourites")"
launch_folders_untouched

# Second start, from another folder: the favourite is still there.
window=$(E2E_START=$E2E_WORK/other start_pixly)
quit_with_yes "$window"
wait_for_exit
has_favourite || fail "favourite lost: $(cat "$favourites")"

# A picture named relative to the launch folder opens in the main viewer.
E2E_START=$E2E_WORK/other start_pixly ../home/jinde/fotka.jpg >/dev/null
viewer=$(wait_for_window "Vendrax 2.2")
quit_with_yes "$viewer"
wait_for_exit
grep -qx "directory1=$elsewhere" "$config" || fail "source folder not the picture's: $(cat "$config")"
launch_folders_untouched
echo "e2e: installed program starts cleanly and keeps its files in its own folder"
