#!/usr/bin/env bash
# Installs what is missing, builds Pixly and runs every test, the
# end-to-end test under Xvfb included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j2
