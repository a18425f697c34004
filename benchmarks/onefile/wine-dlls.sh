#!/usr/bin/env bash
# The real-software corpus: Wine's own 32-bit PE DLLs from the installed Wine
# package, taken in name order (files over 8 MB left out, so that no single
# library dominates) until 60,000,000 bytes before stripping, then stripped as a
# release build would be. The same Wine package gives the same selection and
# the same bytes: strip stamps its output with the time it runs unless
# SOURCE_DATE_EPOCH says otherwise, so each library keeps its own stamp.
# (Those four bytes a file moved LZMA's output by 0.2-0.3% on this corpus.)
#   wine-dlls.sh <output folder>     prints "<files> <bytes before> <bytes after>"
set -euo pipefail
out=$1
source_dir=/usr/lib/i386-linux-gnu/wine/i386-windows
[ -d "$source_dir" ] || { echo "$source_dir is missing: install wine32:i386" >&2; exit 1; }
command -v i686-w64-mingw32-strip >/dev/null || { echo "i686-w64-mingw32-strip is missing (binutils-mingw-w64-i686)" >&2; exit 1; }
mkdir -p "$out"
total=0 count=0
while IFS= read -r name; do
  size=$(stat -c %s "$source_dir/$name")
  ((size <= 8000000)) || continue
  pe=$(od -An -t u4 -j 60 -N 4 "$source_dir/$name" | tr -d ' ')
  stamp=$(od -An -t u4 -j $((pe + 8)) -N 4 "$source_dir/$name" | tr -d ' ')
  SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip -o "$out/$name" "$source_dir/$name"
  total=$((total + size)) count=$((count + 1))
  ((total < 60000000)) || break
done < <(cd "$source_dir" && LC_ALL=C ls -1 -- *.dll)
echo "$count $total $(cat "$out"/* | wc -c)"
