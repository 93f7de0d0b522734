#!/usr/bin/env bash
# Runs a slideshow in the real program under Xvfb with real key presses:
# starts it from the folder window, lets the pictures change, pauses it with
# Space and stops it with Esc.
set -euo pipefail
pixly=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export E2E_WORK=$work E2E_PIXLY=$pixly E2E_PICTURE=$here/../../assets/logo.jpg
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$here/slideshow_inner.sh"
