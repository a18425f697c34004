#!/usr/bin/env bash
# The branch filter, which single files up to version 5 carry and the
# self-extractor still undoes, against xz's x86 filter on a real program. Each
# code section of the image is filtered as a file of its own: branch_filter's
# bytes must equal the program with every code section filtered as xz's filter
# does it alone, and branch_filter must decode xz's filtered sections back
# into the program's.
#   branch_filter_against_xz.sh <branch_filter.exe> <build folder> <strip> <program>
# Exit status 77 (skipped) only where xz is not installed.
set -euo pipefail
branch_filter=$1 build=$2 strip=$3 program=$4
if ! command -v xz >/dev/null; then
  echo "skipped: xz is not installed (Debian package xz-utils, tools/install-deps.sh)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Stripped, the image ends with its last section, as xz's filter sees the whole file.
"$strip" -o "$work/program.exe" "$program"
source "$build/wine-env.sh"

lzma1=lc=3,lp=0,pb=2,dict=8MiB
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
  local from=$1 into=$2 offset=$3 size=$4
  head -c $((offset + size)) "$from" | tail -c "$size" >"$work/section.bin"
  xz --format=raw --x86 --lzma1=$lzma1 -c "$work/section.bin" |
    xz --format=raw --lzma1=$lzma1 -dc >"$work/converted.bin"
  dd if="$work/converted.bin" of="$into" bs=64K seek="$offset" oflag=seek_bytes conv=notrunc status=none
}
ranges=()
for section in "${sections[@]}"; do ranges+=($section); done
wine "$branch_filter" encode "$(winpath "$image")" "$(winpath "$work/ours.bin")" "${ranges[@]}"
if cmp -s "$work/ours.bin" "$image"; then
  echo "branch_filter left the program as it was"
  exit 1
fi
cp "$image" "$work/theirs.bin"
for section in "${sections[@]}"; do
  read -r offset size <<<"$section"
  xz_filter_into "$image" "$work/theirs.bin" "$offset" "$size"
done
cmp "$work/ours.bin" "$work/theirs.bin" || { echo "our filtered bytes differ from xz's"; exit 1; }
wine "$branch_filter" decode "$(winpath "$work/theirs.bin")" "$(winpath "$work/restored.exe")" \
  "${ranges[@]}"
cmp "$work/restored.exe" "$image" || { echo "our decoding of xz's sections differs from the program"; exit 1; }
echo "the filter agrees with xz --x86 on ${#sections[@]} code section(s) of $(stat -c %s "$image") bytes"
