#!/usr/bin/env bash
# Builds the ringing fuzz target with clang (libFuzzer, ASan, UBSan) from the
# few sources it needs and runs it for a bounded time on a copy of the seed
# corpus. Exits non-zero on a crash, a hang or a sanitizer report.
#
# Usage: tests/fuzz/run-fuzz.sh [seconds] [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-60}"
out="${2:-$root/build-fuzz}"
cxx="${CXX_FUZZ:-clang++-14}"
command -v "$cxx" > /dev/null || cxx=clang++

mkdir -p "$out/corpus"
# shellcheck disable=SC2046
"$cxx" -std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" $(pkg-config --cflags Qt6Core) \
    "$here/ringing_fuzz.cpp" \
    "$root/src/base/TextLists.cpp" \
    "$root/src/ringing/RingingText.cpp" \
    "$root/src/ringing/TChannels.cpp" \
    "$root/src/base/TextCodec.cpp" \
    "$root/src/base/AtomicFile.cpp" \
    "$root/src/base/OutputTarget.cpp" \
    "$root/src/base/Logging.cpp" \
    "$root/src/base/Numbers.cpp" \
    "$root/src/ringing/RingingReader.cpp" \
    "$root/src/ringing/RingingFiles.cpp" \
    "$root/src/bells/Ensemble.cpp" \
    $(pkg-config --libs Qt6Core) \
    -o "$out/ringing_fuzz"

# New inputs go to the working corpus; the committed seeds stay untouched.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
"$out/ringing_fuzz" "$out/corpus" "$here/corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$out/" -print_final_stats=1
