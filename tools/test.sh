#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# The distribution (build/dist) is always the 32-bit build. The tests run on it
# where this machine can start 32-bit programs, and otherwise on an x86_64 build of
# the same sources (build/x86_64) under 64-bit Wine; KOVRIN_TEST_ARCH=x86_64 forces
# that path anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
source tools/lib/arch.sh
kovrin_choose_test_arch
echo "== $kovrin_test_arch_why"

kovrin_install_deps
dist_build=$(kovrin_build_dir i686)
test_build=$(kovrin_build_dir "$kovrin_test_arch")
if [ "$test_build" = "$dist_build" ]; then
  kovrin_build i686 "$dist_build"
else
  # The shipped programs still compile and link as 32-bit ones.
  kovrin_build i686 "$dist_build" --target dist
  kovrin_build "$kovrin_test_arch" "$test_build"
fi
bash tools/check-layering.sh
bash tools/check-format.sh

bash tools/wine-prefix.sh headless "$test_build"
source "$test_build/wine-env.sh"
status=0
# Now and then a program under Wine exits before it has started, printing
# nothing (seen with the 64-bit Wine on fresh prefixes): a failed test runs once
# more, and a run cut short while discovering the tests is made once again. A
# real failure fails both times.
run_ctest() { (cd "$test_build" && ctest -j"$(nproc)" --output-on-failure --timeout 300 --repeat until-pass:2); }
run_ctest || { echo "ctest failed; running it once more"; run_ctest; } || status=$?
e2e_passed=0
e2e_failed=0
# Each script starts with no Windows program left over from the one before, so a
# window a failed script left open cannot stand in for the next script's own. A
# script that fails runs once more, for the same launch hiccups as above.
run_e2e() {
  wineserver -k 2>/dev/null || true
  KOVRIN_BUILD="$test_build" timeout 900 bash "$1"
}
for script in tests/e2e/*.sh; do
  [ -e "$script" ] || continue
  echo "== $script"
  if run_e2e "$script" || { echo "$script failed; running it once more"; run_e2e "$script"; }; then
    e2e_passed=$((e2e_passed + 1))
  else
    e2e_failed=$((e2e_failed + 1))
    status=1
  fi
done
wineserver -k 2>/dev/null || true
echo "end-to-end: $e2e_passed passed, $e2e_failed failed"
if [ "$status" -eq 0 ]; then
  echo "All tests passed on the $kovrin_test_arch build."
else
  echo "Tests FAILED on the $kovrin_test_arch build."
fi
exit $status
