#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=${KOVRIN_BUILD:-build}
export WINEPREFIX=${WINEPREFIX:-$here/$build/wine-prefix}

bash tools/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"
bash tools/check-layering.sh

bash tools/wine-prefix.sh headless
status=0
(cd "$build" && ctest -j"$(nproc)" --output-on-failure --timeout 300) || status=$?
e2e_passed=0
e2e_failed=0
for script in tests/e2e/*.sh; do
  [ -e "$script" ] || continue
  echo "== $script"
  if KOVRIN_BUILD="$build" bash "$script"; then
    e2e_passed=$((e2e_passed + 1))
  else
    e2e_failed=$((e2e_failed + 1))
    status=1
  fi
done
echo "end-to-end: $e2e_passed passed, $e2e_failed failed"
WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
exit $status
