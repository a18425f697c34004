#!/usr/bin/env bash
# The packer's branch filter against xz's x86 filter on a real program: the
# stream that pack_single writes must decode with xz's x86 + LZMA1 decoder to
# the program, and its filtered bytes must equal what xz's filter makes.
#   branch_filter_against_xz.sh <pack_single.exe> <build folder> <strip> <program>
# Exit status 77 (skipped) only where xz is not installed.
set -euo pipefail
pack_single=$1 build=$2 strip=$3 program=$4
if ! command -v xz >/dev/null; then
  echo "skipped: xz is not installed (Debian package xz-utils, tools/install-deps.sh)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Stripped, the image ends with its last section, as xz's filter sees the whole file.
"$strip" -o "$work/program.exe" "$program"
printf 'stub' >"$work/stub.bin"
source "$build/wine-env.sh"
wine "$pack_single" "$(winpath "$work/stub.bin")" "$(winpath "$work/single.exe")" program.exe \
  "$(winpath "$work/program.exe")" >/dev/null

# The trailer's header offset and size give the stream's place.
size=$(stat -c %s "$work/single.exe")
header_offset=$(od -An -t u8 -j $((size - 24)) -N 8 "$work/single.exe" | tr -d ' ')
header_size=$(od -An -t u4 -j $((size - 16)) -N 4 "$work/single.exe" | tr -d ' ')
stream_at=$((header_offset + header_size))
tail -c +$((stream_at + 1)) "$work/single.exe" | head -c $((size - 24 - stream_at)) >"$work/stream.lzma"

lzma1=lc=3,lp=0,pb=2,dict=8MiB
xz --format=raw --x86 --lzma1=$lzma1 -dc "$work/stream.lzma" >"$work/decoded.exe"
cmp "$work/decoded.exe" "$work/program.exe" || { echo "xz --x86 does not decode our stream to the program"; exit 1; }

xz --format=raw --lzma1=$lzma1 -dc "$work/stream.lzma" >"$work/ours.bin"
xz --format=raw --x86 --lzma1=$lzma1 -c "$work/program.exe" | xz --format=raw --lzma1=$lzma1 -dc >"$work/theirs.bin"
if cmp -s "$work/ours.bin" "$work/program.exe"; then
  echo "the program went into the stream unfiltered"
  exit 1
fi
cmp "$work/ours.bin" "$work/theirs.bin" || { echo "our filtered bytes differ from xz's"; exit 1; }
echo "the filter agrees with xz --x86 on $(stat -c %s "$work/program.exe") bytes"
