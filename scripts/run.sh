#!/usr/bin/env bash
# Installs what is missing, builds Pixly and starts it. The program keeps
# its favourites beside logo.jpg and pixly.ico in the folder it starts in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/build/src"
exec ./pixly
