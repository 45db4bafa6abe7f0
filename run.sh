#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$here/build" --target campanix campanix-render campanix_data
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start the program under a virtual display with:"
  echo "  xvfb-run -a $here/build/campanix/campanix"
  exit 0
fi
exec "$here/build/campanix/campanix" "$@"
