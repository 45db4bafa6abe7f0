#!/usr/bin/env bash
# Installs what the tests need, builds, and runs the whole suite twice:
# once in the normal build, once under AddressSanitizer and UBSan.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
jobs=$(nproc)

# The layering of src/: no include up the layer order, no circle between
# folders, no source file over 600 lines.
python3 "$here/scripts/check-layers.py" "$here"

cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCAMPANIX_BUILD_TESTS=ON -DCAMPANIX_BUILD_BENCH=ON -DCAMPANIX_GENERATE_DATA=ON > /dev/null
cmake --build "$here/build" -j "$jobs"
ctest --test-dir "$here/build" --output-on-failure -j "$jobs"
"$here/scripts/package-test.sh" "$here/build"

# Fuzz targets run for a bounded time each and fail on a crash, hang or
# sanitizer report.
for fuzz in "$here"/tests/fuzz/run-*.sh; do
  [ -x "$fuzz" ] && "$fuzz"
done

cmake -S "$here" -B "$here/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCAMPANIX_SANITIZE=ON -DCAMPANIX_GENERATE_DATA=OFF -DCAMPANIX_BUILD_BENCH=OFF > /dev/null
cmake --build "$here/build-asan" -j "$jobs"
# Qt and fontconfig keep caches until exit; leaks are not what this run is for.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir "$here/build-asan" --output-on-failure -j "$jobs"
