#!/usr/bin/env bash
# Sorts pictures in the real program under Xvfb with real key presses: opens
# the first picture, copies it with "c", deletes it, and copies the next one.
set -euo pipefail
pixly=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export E2E_WORK=$work E2E_PIXLY=$pixly E2E_PICTURE=$here/../../assets/logo.jpg
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$here/sort_pictures_inner.sh"
