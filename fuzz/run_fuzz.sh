#!/usr/bin/env bash
# Builds the EXIF reader's libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer), seeds its corpus with the EXIF files that the
# reader's tests are built from (tests/exif/exifsamples.h, written by make_exif_seeds)
# and runs it for a bounded time. Exits non-zero when the fuzzer finds a crash,
# a leak, undefined behaviour, a slow input or an oversized allocation; the input
# that caused it is left in <build>/artifacts/.
#
# Usage: fuzz/run_fuzz.sh [seconds]          (default 60)
# PIXLY_FUZZ_BUILD_DIR  build folder (default ./build-fuzz); its corpus/ folder keeps
#                       the inputs found so far for the next run.
# Needs the Debian packages clang and libclang-rt-14-dev (the libFuzzer runtime).
set -euo pipefail

seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
build=${PIXLY_FUZZ_BUILD_DIR:-$PWD/build-fuzz}

generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2

rm -rf "$build/seeds"
"$build/make_exif_seeds" "$build/seeds"
mkdir -p "$build/corpus" "$build/artifacts"

# Every input is written to a file for ReadExif; keep that file in memory where possible.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

# -timeout: any one file must take a moment, not seconds.
# -malloc_limit_mb: no single allocation may come near what a hostile count asks for.
"$build/fuzz_exifreader" \
  -max_total_time="$seconds" \
  -max_len=262144 \
  -timeout=2 \
  -malloc_limit_mb=64 \
  -rss_limit_mb=2048 \
  -dict="$here/exif.dict" \
  -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1 \
  "$build/corpus" "$build/seeds"
