#!/usr/bin/env bash
# Runs a slideshow in the real program under Xvfb with real key presses:
# starts it from the folder window, lets the pictures change, pauses it with
# Space and stops it with Esc. The pictures have colours of their own, so the
# screen tells which one is shown.
# Run through run_e2e.sh.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

src=$E2E_WORK/fotky
dst=$E2E_WORK/vybrane
mkdir -p "$E2E_WORK/start" "$src" "$dst"
colours=(red green blue white)
names=(a b c d e f g h i j)
for i in "${!names[@]}"; do
  gst-launch-1.0 -q videotestsrc num-buffers=1 pattern="${colours[i % 4]}" ! video/x-raw,width=320,height=240 ! \
    jpegenc ! filesink location="$src/${names[i]}.jpg"
done
colour_of() { local i; for i in "${!names[@]}"; do [ "${names[i]}.jpg" = "$1" ] && echo "${colours[i % 4]}"; done; }
# The middle of the picture in the middle of the screen.
shown() { screen_colour 600 470 80 60; }
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

# Once the show has moved on from the first picture, Space pauses it with its message.
# One look serves both: the show may have come round to another red picture by a second one.
on_screen=red
for _ in $(seq 1 50); do on_screen=$(shown); [ "$on_screen" != red ] && break; sleep 0.2; done
[ "$on_screen" != red ] || fail "the picture never changed"
focus_window "$fullscreen"
key space
key_in "Slideshow" Return
wait_for_no_window "Slideshow"
paused=$(shown)

# Paused, nothing moves on. Any key opens the settings, where Esc stops the show.
sleep 3
[ "$(shown)" = "$paused" ] || fail "the show went on from a $paused picture: the pause did not hold"
focus_window "$fullscreen"
key F2
key_in "Slideshow - nastavení" Escape
wait_for_no_window "Slideshow - nastavení"

# Stopped, "c" copies the picture on screen.
focus_window "$fullscreen"
key c
key_in "Kopírování" Return
key_in "Pixly" Return
wait_for_no_window "Pixly"
copied=$(cd "$dst" && ls)
[ "$(colour_of "$copied")" = "$paused" ] || fail "copied $copied, but a $paused picture was on screen"

xdotool windowactivate --sync "$fullscreen" >/dev/null 2>&1 || true
key Escape
answer_yes "Pixly"
wait_for_exit
echo "e2e: slideshow changed to $copied, paused and stopped"
