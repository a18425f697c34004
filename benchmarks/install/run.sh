#!/usr/bin/env bash
# Runs the install benchmark on both kinds of file system, each fresh and removed
# afterwards (thousands of re-created files do not slow down from run to run):
# tmpfs, where the floor is the plain split computing the same CRC-32, and a
# journaled ext4 image on a loop device (needs root), where it is the plain split
# opening its files with the engine's flags.
# BENCH_DIR=<folder> runs it once in that folder instead (e.g. on a disk).
#   benchmarks/install/run.sh [runs] [--no-pump]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}   # the build this machine can run
runs=${1:-10}
run_in() {  # <folder> <label>
  echo "== $2"
  "$build/wine-run.sh" "$build/bin/install_benchmark.exe" "Z:${1//\//\\}" "$runs" ${pump:-} |
    tr -d '\r'
}
pump=${2:-}
if [ -n "${BENCH_DIR:-}" ]; then
  work=$(mktemp -d "$BENCH_DIR/kovrin-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  run_in "$work" "$BENCH_DIR"
  exit
fi

work=$(mktemp -d /dev/shm/kovrin-bench.XXXXXX)
mnt=$(mktemp -d /tmp/kovrin-bench-ext4.XXXXXX)
image=$mnt.img
cleanup() {
  rm -rf "$work"
  umount "$mnt" 2>/dev/null || true
  rm -f "$image"
  rmdir "$mnt" 2>/dev/null || true
}
trap cleanup EXIT
run_in "$work" "tmpfs (/dev/shm)"
rm -rf "$work"
truncate -s 4G "$image"
mkfs.ext4 -q "$image"
mount -o loop "$image" "$mnt"
run_in "$mnt/work" "ext4 on a loop device"
