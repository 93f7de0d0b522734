#!/usr/bin/env bash
# Runs one end-to-end scenario against the real program under Xvfb, in a
# temporary folder that is removed afterwards.
# Usage: run_e2e.sh SCENARIO.sh PIXLY
set -euo pipefail
scenario=$(readlink -f "$1")
pixly=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export E2E_WORK=$work E2E_PIXLY=$pixly E2E_PICTURE=$here/../../assets/logo.jpg
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash ${E2E_TRACE:+-x} "$scenario"
