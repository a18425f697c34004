#!/usr/bin/env bash
# The packer's branch filter against xz's x86 filter on a real program. The
# packer filters each code section of the image as a file of its own: the
# stream that pack_single writes must decode with xz's LZMA1 decoder to the
# program with every code section filtered as xz's filter does it alone, and
# xz's x86 decoder must turn each of those sections back into the program's.
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
# head reads the file and tail the whole pipe: no side stops early, so no SIGPIPE
# (which pipefail would turn into a silent failure whenever tail still had bytes).
head -c $((size - 24)) "$work/single.exe" | tail -c +$((stream_at + 1)) >"$work/stream.lzma"

lzma1=lc=3,lp=0,pb=2,dict=8MiB
xz --format=raw --lzma1=$lzma1 -dc "$work/stream.lzma" >"$work/ours.bin"
if cmp -s "$work/ours.bin" "$work/program.exe"; then
  echo "the program went into the stream unfiltered"
  exit 1
fi

# The code sections: raw offset and size of each section marked as code or
# executable, from the section table.
u16() { od -An -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }
u32() { od -An -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }
image=$work/program.exe
pe=$(u32 "$image" 60)
count=$(u16 "$image" $((pe + 6)))
table=$((pe + 24 + $(u16 "$image" $((pe + 20)))))
sections=()
for ((i = 0; i < count; i++)); do
  at=$((table + i * 40))
  raw_size=$(u32 "$image" $((at + 16)))
  raw_at=$(u32 "$image" $((at + 20)))
  flags=$(u32 "$image" $((at + 36)))
  if ((raw_size > 0 && (flags & 0x20000020) != 0)); then sections+=("$raw_at $raw_size"); fi
done
((${#sections[@]} > 0)) || { echo "the program has no code section"; exit 1; }

# Runs xz's filter over [offset, offset + size) of <from>, writing it in place into <into>.
xz_filter_into() {
  local from=$1 into=$2 offset=$3 size=$4 direction=$5
  head -c $((offset + size)) "$from" | tail -c "$size" >"$work/section.bin"
  if [ "$direction" = encode ]; then
    xz --format=raw --x86 --lzma1=$lzma1 -c "$work/section.bin" | xz --format=raw --lzma1=$lzma1 -dc
  else
    xz --format=raw --lzma1=$lzma1 -c "$work/section.bin" | xz --format=raw --x86 --lzma1=$lzma1 -dc
  fi >"$work/converted.bin"
  dd if="$work/converted.bin" of="$into" bs=64K seek="$offset" oflag=seek_bytes conv=notrunc status=none
}
cp "$image" "$work/theirs.bin"
cp "$work/ours.bin" "$work/restored.exe"
for section in "${sections[@]}"; do
  read -r offset size <<<"$section"
  xz_filter_into "$image" "$work/theirs.bin" "$offset" "$size" encode
  xz_filter_into "$work/ours.bin" "$work/restored.exe" "$offset" "$size" decode
done
cmp "$work/ours.bin" "$work/theirs.bin" || { echo "our filtered bytes differ from xz's"; exit 1; }
cmp "$work/restored.exe" "$image" || { echo "xz --x86 does not decode our sections to the program's"; exit 1; }
echo "the filter agrees with xz --x86 on ${#sections[@]} code section(s) of $(stat -c %s "$image") bytes"
