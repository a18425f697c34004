#!/usr/bin/env bash
# Installs what is missing, builds the distribution folder and starts the designer
# under Wine on a virtual X display (Xvfb unless a display is already there).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=${KOVRIN_BUILD:-build}
export WINEPREFIX=${WINEPREFIX:-$here/$build/wine-desktop}

bash tools/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "Distribution folder: $here/$build/dist"
ls "$build/dist"

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  trap 'kill $! 2>/dev/null || true' EXIT
  sleep 1
  echo "Started Xvfb on $DISPLAY (take a screenshot with: DISPLAY=$DISPLAY import -window root shot.png)"
fi
bash tools/wine-prefix.sh desktop
exec "$here/tools/wine-run.sh" "$here/$build/dist/Kovrin.exe"
