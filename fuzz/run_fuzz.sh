#!/usr/bin/env bash
# Builds the libFuzzer targets of the program's readers (fuzz_<reader>.cpp) with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, seeds each corpus with the files that the
# reader's tests are built from (written by make_seeds) and runs every target for a bounded time,
# two at a time. Exits non-zero when a fuzzer finds a crash, a leak, undefined behaviour, a slow
# input or an oversized allocation; the input that caused it is left in
# <build>/artifacts/<reader>/ and the fuzzer's output in <build>/logs/<reader>.log.
#
# Usage: fuzz/run_fuzz.sh [seconds] [reader...]   (default 15 seconds for each of all readers)
# PIXLY_FUZZ_BUILD_DIR  build folder (default ./build-fuzz); its corpus/ folder keeps the inputs
#                       found so far for the next run.
# Needs the Debian packages clang and libclang-rt-14-dev (the libFuzzer runtime).
set -euo pipefail

seconds=${1:-15}
shift || true
here=$(cd "$(dirname "$0")" && pwd)
build=${PIXLY_FUZZ_BUILD_DIR:-$PWD/build-fuzz}
readers=("$@")
if ((${#readers[@]} == 0)); then
  readers=(exifreader exiforientation wmfrenderer emfrenderer dibdecoder iconloader jpegdecoder mp3length
           m3uplaylist favouritesfile versionfile shownpicture resample formatdetection containerexif
           heifdecoder jxldecoder rawdecoder qtpicturereader webpdecoder)
fi

generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2

export LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0

rm -rf "$build/seeds"
"$build/make_seeds" "$build/seeds"
mkdir -p "$build/logs"

# Inputs are written to files for the readers that take a path; keep them in memory where possible.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

# -timeout: any one input must take a moment, not seconds; the metafile renderers may fill
#   and draw on a picture of 4096 x 4096 pixels, which takes a few.
# -malloc_limit_mb: no single allocation may come near what a hostile count asks for; that
#   largest picture takes 64 MB.
run() {
  local reader=$1 timeout=2 malloc_limit=64 dict=()
  case $reader in
    wmfrenderer | emfrenderer) timeout=10 malloc_limit=128 ;;
    jpegdecoder | shownpicture | resample) malloc_limit=128 ;;
    # The libraries' own working memory for pictures of up to a megapixel, and a RAW file's preview
    # JPEG, which libjpeg may hold whole while it reads its scans.
    heifdecoder | jxldecoder | qtpicturereader | webpdecoder) malloc_limit=256 ;;
    rawdecoder) timeout=5 malloc_limit=1100 ;;
  esac
  if [[ -f $here/$reader.dict ]]; then dict=(-dict="$here/$reader.dict"); fi
  mkdir -p "$build/corpus/$reader" "$build/artifacts/$reader"
  "$build/fuzz_$reader" \
    -max_total_time="$seconds" \
    -max_len=262144 \
    -timeout="$timeout" \
    -malloc_limit_mb="$malloc_limit" \
    -rss_limit_mb=2048 \
    "${dict[@]}" \
    -artifact_prefix="$build/artifacts/$reader/" \
    -print_final_stats=1 \
    "$build/corpus/$reader" "$build/seeds/$reader" >"$build/logs/$reader.log" 2>&1
}

# Two fuzzers at once; each one's result is told as it ends.
declare -A running=()
failed=()
finish_one() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  local reader=${running[$pid]}
  unset "running[$pid]"
  if ((status == 0)); then
    echo "fuzz_$reader: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$reader.log" |
      grep -o '[0-9]*$') runs, nothing found"
  else
    failed+=("$reader")
    echo "fuzz_$reader FAILED (exit $status); the end of $build/logs/$reader.log:"
    tail -n 60 "$build/logs/$reader.log"
  fi
}
for reader in "${readers[@]}"; do
  if ((${#running[@]} == 2)); then finish_one; fi
  run "$reader" &
  running[$!]=$reader
done
while ((${#running[@]} > 0)); do finish_one; done

if ((${#failed[@]} > 0)); then
  echo "fuzzers with findings: ${failed[*]}"
  exit 1
fi
