#!/usr/bin/env bash
# Runs the build benchmark on a fresh file system that is removed afterwards:
# a journaled ext4 image on a loop device (needs root), or tmpfs with
#   run.sh --tmpfs [rounds]
# Many files created and deleted over and over slow down on a long-lived
# ext4 without a journal, which would measure the disk's history, not the build.
# Besides the generated corpora it builds a "real" one: Wine's own 32-bit PE
# DLLs in name order up to about 60 MB, stripped as a release build would be
# (skipped with a note where Wine's DLLs or the MinGW strip are missing).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}   # the build this machine can run
mode=loop
if [ "${1:-}" = --tmpfs ]; then mode=tmpfs; shift; fi
rounds=${1:-3}
for needed in "$build/dist/Kovrin.dat" "$build/dist/uninst.dat" "$build/bin/build_benchmark.exe"; do
  [ -f "$needed" ] || { echo "$needed is missing: build the dist and build_benchmark targets first" >&2; exit 1; }
done

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

real=()
dlls=/usr/lib/i386-linux-gnu/wine/i386-windows
if [ -d "$dlls" ] && command -v i686-w64-mingw32-strip >/dev/null; then
  mkdir -p "$work/real"
  total=0
  while IFS= read -r dll; do
    ((total >= 60000000)) && break
    total=$((total + $(stat -c %s "$dll")))
    i686-w64-mingw32-strip -o "$work/real/$(basename "$dll")" "$dll" 2>/dev/null ||
      cp "$dll" "$work/real/"
  done < <(find "$dlls" -maxdepth 1 -name '*.dll' | LC_ALL=C sort)
  echo "real corpus: $(ls "$work/real" | wc -l) of Wine's DLLs, $total bytes before stripping"
  real=("Z:${work//\//\\}\\real")
else
  echo "real corpus skipped: $dlls or i686-w64-mingw32-strip is missing"
fi
"$build/wine-run.sh" "$build/bin/build_benchmark.exe" "Z:${work//\//\\}\\run" "$rounds" \
  "Z:${build//\//\\}\\dist" "${real[@]}" | tr -d '\r'
