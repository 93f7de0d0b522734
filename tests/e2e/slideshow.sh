#!/usr/bin/env bash
# Runs a slideshow in the real program under Xvfb with real key presses:
# starts it from the folder window, lets the pictures change, pauses it with
# Space and stops it with Esc.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
for name in a b c d e f g h i j; do cp "$E2E_PICTURE" "$src/$name.jpg"; done
config="$HOME/.config/Tremanova/Vendrax.conf"
mkdir -p "$(dirname "$config")"
printf '[prog]\nverze=2.2\n[akt]\naktual=0\n[dir]\ndirectory1=%s\ndirectory2=%s\n' "$src" "$dst" > "$config"

start_window_manager
window=$(start_pixly)

# Select the first picture, then "Slideshow" from the list's popup menu.
click_in_window "$window" 60 400
xdotool click 3
sleep 0.5
key Down Down Down Return

# An interval of 1 second; Enter presses "Spusť!".
key_in "Slideshow - nastavení" 1 Return
wait_for_no_window "Slideshow - nastavení"
# The full-screen window has no title: it is the one the closed settings
# window hands the focus back to, and it covers the screen.
fullscreen=$(xdotool getactivewindow)
xdotool getwindowgeometry --shell "$fullscreen" | grep -q '^WIDTH=1280$' ||
  fail "the full-screen window is not in front after the start"

# After about two and a half ticks Space pauses the show with its message.
sleep 2.5
xdotool windowactivate --sync "$fullscreen" >/dev/null 2>&1 || true
key space
key_in "Slideshow" Return
wait_for_no_window "Slideshow"

# Paused, nothing moves on. Any key opens the settings, where Esc stops the show.
sleep 3
xdotool windowactivate --sync "$fullscreen" >/dev/null 2>&1 || true
key F2
key_in "Slideshow - nastavení" Escape
wait_for_no_window "Slideshow - nastavení"

# Stopped, "c" copies the picture on screen: its name tells how far the show went.
xdotool windowactivate --sync "$fullscreen" >/dev/null 2>&1 || true
key c
key_in "Kopírování" Return
key_in "Pixly" Return
wait_for_no_window "Pixly"
copied=$(cd "$dst" && ls)
# About two ticks ran before the pause; the three paused seconds would have
# moved it on by three more.
case "$copied" in
  a.jpg) fail "the picture never changed" ;;
  b.jpg | c.jpg | d.jpg) ;;
  *) fail "the show went on to $copied: the pause did not hold" ;;
esac

xdotool windowactivate --sync "$fullscreen" >/dev/null 2>&1 || true
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: slideshow changed to $copied, paused and stopped"
