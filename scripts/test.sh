#!/usr/bin/env bash
# Installs what is missing, builds Pixly and runs every test: the unit and
# window tests offscreen and the end-to-end tests under Xvfb, then the whole
# suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, and
# every reader's fuzz target for 15 seconds (two at a time: about 75 seconds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j2

"$root/scripts/build.sh" "$root/build-sanitize" -DPIXLY_SANITIZE=ON
# Leaks inside the toolkit's own caches at exit are not the program's faults.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j2

PIXLY_FUZZ_BUILD_DIR="$root/build-fuzz" "$root/fuzz/run_fuzz.sh" "${PIXLY_FUZZ_SECONDS:-15}"
