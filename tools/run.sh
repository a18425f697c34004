#!/usr/bin/env bash
# Installs what is missing, builds the distribution folder and starts the designer
# under Wine on a virtual X display (Xvfb unless a display is already there).
# Where this machine cannot start 32-bit programs (or KOVRIN_TEST_ARCH=x86_64), it
# builds and starts the x86_64 designer instead, whose folder carries the x86_64
# setup program and uninstaller, so every package made from there runs here too.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
source tools/lib/arch.sh
kovrin_choose_test_arch

kovrin_install_deps
dist_build=$(kovrin_build_dir i686)
run_build=$(kovrin_build_dir "$kovrin_test_arch")
if [ "$run_build" = "$dist_build" ]; then
  kovrin_build i686 "$dist_build"
else
  kovrin_build i686 "$dist_build" --target dist
  kovrin_build "$kovrin_test_arch" "$run_build" --target dist
fi
echo "Distribution folder: $here/$dist_build/dist"
ls "$dist_build/dist"
if [ "$run_build" != "$dist_build" ]; then
  echo "${kovrin_test_arch_why/testing/starting}: $here/$run_build/dist"
fi

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  sleep 1
  kill -0 "$xvfb" 2>/dev/null || {
    echo "Xvfb could not start on $DISPLAY (is another server using it?). Set DISPLAY to a running X server and try again." >&2
    exit 1
  }
  echo "Started Xvfb on $DISPLAY (take a screenshot with: DISPLAY=$DISPLAY import -window root shot.png)"
fi
export WINEPREFIX=${WINEPREFIX:-$here/$run_build/wine-desktop}
bash tools/wine-prefix.sh desktop "$run_build"
exec "$here/$run_build/wine-run.sh" "$here/$run_build/dist/Kovrin.exe"
