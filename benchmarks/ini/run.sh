#!/usr/bin/env bash
# Runs the ini benchmark on the build this machine can run (see README).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}
"$build/wine-run.sh" "$build/bin/ini_benchmark.exe" "$@" | tr -d '\r'
