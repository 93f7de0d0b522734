#!/usr/bin/env bash
# Helpers for driving the real program under Xvfb with real key presses.

export HOME="$E2E_WORK/home"
export XDG_CONFIG_HOME="$HOME/.config"
# Deleted pictures go to the trash in the temporary home, never the real one.
export XDG_DATA_HOME="$HOME/.local/share"
mkdir -p "$HOME"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

fail() {
  echo "e2e FAILED: $*" >&2
  [ -f "$E2E_WORK/pixly.log" ] && sed 's/^/  pixly: /' "$E2E_WORK/pixly.log" >&2
  exit 1
}

start_window_manager() {
  openbox >/dev/null 2>&1 &
  sleep 1
}

# Waits for a window whose title is exactly $1 and prints its id.
wait_for_window() {
  local title=$1 id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  fail "window '$title' did not appear"
}

# Waits until no visible window is titled exactly $1.
wait_for_no_window() {
  local title=$1
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "window '$title' did not go away"
}

# Starts the program in $E2E_START (default: the work folder's "start")
# with the given arguments and prints the id of the folder window. A message
# box that the start is expected to show first, titled as $E2E_START_BOX
# says (a pattern), is confirmed.
start_pixly() {
  (cd "${E2E_START:-$E2E_WORK/start}" && exec ${E2E_WRAP:-} "$E2E_PIXLY" "$@" >>"$E2E_WORK/pixly.log" 2>&1) &
  echo $! > "$E2E_WORK/pixly.pid"
  local window box
  if [ -n "${E2E_START_BOX:-}" ]; then
    box=$(wait_for_window "$E2E_START_BOX")
    focus_window "$box"
    key Return
  fi
  window=$(wait_for_window "Nastavení")
  # The splash comes to the front for a second before handing over.
  sleep 1.5
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  echo "$window"
}

key() {
  xdotool key --delay 100 "$@"
}

# Brings the window to the front and waits until it has the focus, so that keys go to it.
focus_window() {
  local window=$1
  for _ in $(seq 1 50); do
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && return 0
    sleep 0.1
  done
  fail "window $window did not take the focus"
}

# Waits until the program has handled every key pressed in the viewer so far: its help window
# (F1) opens only after them. A question or message that comes up first is answered with Enter,
# its default button, and F1 is pressed again once the viewer has the focus back.
settle_viewer() {
  local viewer=$1 dialog asked=no
  for _ in $(seq 1 150); do
    dialog=$(xdotool search --onlyvisible --name '^Pixly$' 2>/dev/null | head -n 1 || true)
    if [ -n "$dialog" ]; then
      focus_window "$dialog"
      key Return
      wait_for_no_window "Pixly"
      asked=no
      continue
    fi
    dialog=$(xdotool search --onlyvisible --name '^Help$' 2>/dev/null | head -n 1 || true)
    if [ -n "$dialog" ]; then
      focus_window "$dialog"
      key alt+F4
      wait_for_no_window "Help"
      return 0
    fi
    if [ "$asked" = no ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$viewer" ]; then
      key F1
      asked=yes
    elif [ "$asked" = no ]; then
      xdotool windowactivate "$viewer" >/dev/null 2>&1 || true
    fi
    sleep 0.2
  done
  fail "the viewer did not get round to its keys"
}

# The colour that fills most of an area of the screen (left top width height): red, green, blue,
# white or other.
screen_colour() {
  xwd -root -silent > "$E2E_WORK/screen.xwd"
  python3 "$(dirname "${BASH_SOURCE[0]}")/screen.py" colour "$E2E_WORK/screen.xwd" "$@"
}

# Double-clicks the first file of the folder window's source list and prints
# the id of the main viewer that opens.
open_first_picture() {
  local window=$1 viewer
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool mousemove --window "$window" 60 400 click --repeat 2 --delay 80 1
  viewer=$(wait_for_window "Vendrax 2.2")
  xdotool windowactivate --sync "$viewer" >/dev/null 2>&1 || true
  echo "$viewer"
}

# Clicks at client coordinates of a window.
click_in_window() {
  local window=$1 x=$2 y=$3
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool mousemove --window "$window" "$x" "$y" click 1
  sleep 0.3
}

# Answers the question in the window titled $1 with Yes. No is the default
# button, so Shift+Tab moves to Yes first.
answer_yes() {
  local question
  question=$(wait_for_window "$1")
  focus_window "$question"
  key shift+Tab space
}

# Presses a key in a dialog titled $1 once it can take keys.
key_in() {
  local dialog title=$1
  shift
  dialog=$(wait_for_window "$title")
  focus_window "$dialog"
  key "$@"
}

# Closes the window with Alt+F4 and answers the quit question with Yes.
quit_with_yes() {
  local window=$1
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  key alt+F4
  answer_yes "Pixly"
}

wait_for_exit() {
  local pid
  pid=$(cat "$E2E_WORK/pixly.pid")
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.2
  done
  kill "$pid" 2>/dev/null || true
  fail "the program did not end after the quit question"
}
