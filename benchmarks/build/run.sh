#!/usr/bin/env bash
# Runs the build benchmark on a fresh file system that is removed afterwards:
# a journaled ext4 image on a loop device (needs root), or tmpfs with
#   run.sh --tmpfs [rounds]
# Many files created and deleted over and over slow down on a long-lived
# ext4 without a journal, which would measure the disk's history, not the build.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}   # the build this machine can run
mode=loop
if [ "${1:-}" = --tmpfs ]; then mode=tmpfs; shift; fi
rounds=${1:-3}

work=$(mktemp -d /tmp/kovrin-bench.XXXXXX)
image=$work.img
cleanup() {
  umount "$work" 2>/dev/null || true
  rm -f "$image"
  rmdir "$work" 2>/dev/null || true
}
trap cleanup EXIT
if [ "$mode" = loop ]; then
  truncate -s 6G "$image"
  mkfs.ext4 -q "$image"
  mount -o loop "$image" "$work"
else
  mount -t tmpfs -o size=4G tmpfs "$work"
fi
echo "file system: $mode at $work"
"$build/wine-run.sh" "$build/bin/build_benchmark.exe" "Z:${work//\//\\}" "$rounds" | tr -d '\r'
