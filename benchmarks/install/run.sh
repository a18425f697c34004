#!/usr/bin/env bash
# Runs the install benchmark on tmpfs (a fresh file system, so thousands of
# re-created files do not slow down from run to run) and removes it afterwards.
# BENCH_DIR=<folder> runs it on another file system, e.g. a disk.
#   benchmarks/install/run.sh [runs] [--no-pump]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}   # the build this machine can run
work=$(mktemp -d "${BENCH_DIR:-/dev/shm}/kovrin-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/wine-run.sh" "$build/bin/install_benchmark.exe" "Z:${work//\//\\}" "${1:-9}" ${2:-} | tr -d '\r'
