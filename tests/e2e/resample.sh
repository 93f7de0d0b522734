#!/usr/bin/env bash
# Resamples a folder of pictures in the real program under Xvfb: first over
# the originals at 50 %, then at 200 % into the destination folder.
set -euo pipefail
pixly=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export E2E_WORK=$work E2E_PIXLY=$pixly E2E_PICTURE=$here/../../assets/logo.jpg
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$here/resample_inner.sh"
