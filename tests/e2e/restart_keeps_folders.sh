#!/usr/bin/env bash
# Starts the real program under Xvfb in a temporary home, changes the source
# folder and quits with real key presses, then starts it again and checks
# that the folders were restored and the version record was written.
set -euo pipefail
pixly=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export E2E_WORK=$work E2E_PIXLY=$pixly
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$here/restart_keeps_folders_inner.sh"
