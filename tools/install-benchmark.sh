#!/usr/bin/env bash
# Runs the install benchmark on tmpfs (a fresh file system, so thousands of
# re-created files do not slow down from run to run) and removes it afterwards.
#   tools/install-benchmark.sh [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KOVRIN_BUILD:-build}
work=$(mktemp -d /dev/shm/kovrin-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$here/tools/wine-run.sh" "$here/$build/bin/install_benchmark.exe" "Z:${work//\//\\}" "${1:-5}" | tr -d '\r'
