#!/usr/bin/env bash
# The single-file installer against NSIS's makensis with SetCompressor /SOLID lzma
# and against 7-Zip's `7zz a -mx9` archive of the same files, on three corpora:
# "typical" (~130 files, ~65 MB of text, random "media" and the build's own test
# programs), "many" (20,000 small files) and "real" (Wine's own 32-bit DLLs,
# stripped: benchmarks/onefile/wine-dlls.sh). All pack the same package files
# (launcher, Setup.ini, data.dat). Prints side by side in one run: sizes, packing
# times in paired rounds, and unpacking + installing the single file under Wine
# against NSIS's installer of our package and against decoding + the plain
# install, and unattended against NSIS installing the same files itself. Then the
# stub's size and the single file of an empty project, measured on the 32-bit
# distribution (build/dist), and a summary of the rows.
#   benchmarks/onefile/run.sh [install runs, default 3] [build rounds, default 3] [corpora]
# makensis and 7zz (Debian packages nsis and 7zip) are installed when missing;
# they serve this benchmark only.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch
build=$here/${KOVRIN_BUILD:-$(kovrin_build_dir "$kovrin_test_arch")}   # the build this machine runs
dist32=$here/build/dist                                              # what ships
runs=${1:-3}
build_rounds=${2:-3}
source "$build/wine-env.sh"
export LANG=C.UTF-8
wineserver -p >/dev/null 2>&1 </dev/null || true

corpora=${3:-typical many real}
for tool in makensis:nsis 7zz:7zip; do
  command -v "${tool%%:*}" >/dev/null && continue
  [ "$(id -u)" -eq 0 ] || { echo "${tool%%:*} is missing: apt-get install ${tool#*:} (as root)" >&2; exit 1; }
  echo "installing ${tool#*:} for the references..."
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tool#*:}" >/dev/null
done
for needed in "$dist32/Kovrin.dat" "$dist32/sfx.dat" "$build/dist/sfx.dat" "$build/bin/onefile_benchmark.exe" "$build/bin/driver.exe"; do
  [ -f "$needed" ] || { echo "$needed is missing: run tools/test.sh (or build the dist and benchmark targets) first" >&2; exit 1; }
done

work=$(mktemp -d /dev/shm/kovrin-onefile.XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
# The setup programs install onto tmpfs: thousands of files deleted and created
# again on a long-lived disk slow down from run to run, whichever side runs.
target_unix=$work/target
export BENCH_INSTALL_PATH
BENCH_INSTALL_PATH=$(winpath "$target_unix")
bench() { wine "$build/bin/onefile_benchmark.exe" "$@" | tr -d '\r'; }
value() { sed -n "s/^$1=//p"; }
driver() { timeout 900 wine "$build/bin/driver.exe" "$@" | tr -d '\r' >/dev/null; }
now() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
kib() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }
mib() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1048576 }'; }

# Starts a program that ends up running the setup program, installs through its
# window as a person would, and prints the seconds until the program has ended.
timed_install() {
  rm -rf "$target_unix"
  local start pid status=0
  start=$(now)
  wine "$@" & pid=$!
  driver wait "Установка программы" 600000
  driver click "Установка программы" "Установить"
  driver waitbutton "Установка программы" "Готово" 900000
  driver click "Установка программы" "Готово"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "the install ended with $status" >&2; exit 1; }
  awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'
  rm -rf "$target_unix"
}

# The code layouts side by side on one LZMA stream of the folder's files
# (onefile_benchmark layouts): the branch filter of single files up to version
# 5 against the operand split that version 6 carries.
layouts() {
  bench layouts "$(winpath "$1")" >"$work/layouts.txt"
  local plain branch split
  plain=$(value plain <"$work/layouts.txt")
  branch=$(value branch <"$work/layouts.txt")
  split=$(value split <"$work/layouts.txt")
  echo "  code layouts, one stream of the DLLs (bytes):"
  printf '    %-32s %12s\n' "no filter" "$plain" "branch filter (up to version 5)" "$branch"
  printf '    %-32s %12s   %s of the branch filter\n' "operands split off (the stream's)" "$split" \
    "$(ratio "$split" "$branch")"
}

# Starts a silent installer and prints the seconds until it has ended.
timed_silent() {
  rm -rf "$target_unix"
  local start status=0
  start=$(now)
  wine "$@" || status=$?
  [ "$status" -eq 0 ] || { echo "the silent install ended with $status" >&2; exit 1; }
  awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'
}

# NSIS installing the same files itself, as its own installers do, against
# the single file's unattended install (/S), both without a window: the
# comparison above hands NSIS our package, so both sides pay for our install.
# The files are those an install of the plain package leaves.
nsis_direct() {
  local kind=$1 package=$2 runs=$3 files=$work/$kind-installed
  timed_silent "$package/Setup.exe" /S >/dev/null
  rm -rf "$files"
  mv "$target_unix" "$files"
  cat >"$work/$kind-direct.nsi" <<NSI
Unicode true
SetCompressor /SOLID lzma
OutFile "$work/$kind-direct.exe"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$BENCH_INSTALL_PATH"
Section
  SetOutPath "\$INSTDIR"
  File /r "$files/*"
SectionEnd
NSI
  makensis -V1 "$work/$kind-direct.nsi" >/dev/null
  rm -rf "$files"
  local ours=() theirs=() ratios=() run
  for ((run = 0; run < runs; run++)); do
    ours+=("$(timed_silent "$work/$kind-single.exe" /S)")
    theirs+=("$(timed_silent "$work/$kind-direct.exe")")
    ratios+=("$(ratio "${ours[-1]}" "${theirs[-1]}")")
  done
  rm -rf "$work/$kind-direct.exe" "$target_unix"
  direct_ratio=$(median "${ratios[@]}")
  echo "  unattended, median of $runs runs (no window on either side):"
  printf '    single file /S: unpack + install       %8.3f s\n' "$(median "${ours[@]}")"
  printf '    NSIS installing the files itself       %8.3f s\n' "$(median "${theirs[@]}")"
  printf '    ratio single / NSIS, median of the runs %8s   (goal <= 0.700; each run: %s)\n' "$direct_ratio" "${ratios[*]}"
}

summary=()
compare() {
  local kind=$1 title=$2 source=$3
  local package=$work/$kind
  echo
  echo "== $title"
  bench package "$kind" "$(winpath "$package")" "$(winpath "$build/dist/Kovrin.dat")" "$(winpath "$source")" >"$work/$kind.txt"
  local files bytes
  files=$(value files <"$work/$kind.txt")
  bytes=$(value bytes <"$work/$kind.txt")
  echo "corpus: $files files, $(mib "$bytes") in data.dat; package: Setup.exe, Setup.ini, data.dat"

  cat >"$work/$kind.nsi" <<NSI
Unicode true
SetCompressor /SOLID lzma
OutFile "$work/$kind-nsis.exe"
RequestExecutionLevel admin
SilentInstall silent
Section
  InitPluginsDir
  SetOutPath "\$PLUGINSDIR"
  File "$package/Setup.exe"
  File "$package/Setup.ini"
  File "$package/data.dat"
  ExecWait '"\$PLUGINSDIR\\Setup.exe"' \$0
  SetErrorLevel \$0
SectionEnd
NSI
  # Build times in paired rounds, the side that goes first alternating: the
  # machine's speed drifts over minutes, so each round's ratio compares like
  # with like, and the median of the rounds' ratios is the figure.
  local ours_times=() ours_cpus=() nsis_times=() nsis_cpus=() wall_ratios=() cpu_ratios=()
  local seven_times=() seven_ratios=()
  local round ours_time ours_cpu nsis_time nsis_cpu seven_time
  pack_ours() {
    bench pack "$(winpath "$build/dist/sfx.dat")" "$(winpath "$package")" "$(winpath "$work/$kind-single.exe")" >"$work/$kind-pack.txt"
    ours_time=$(value pack_seconds <"$work/$kind-pack.txt")
    ours_cpu=$(value pack_cpu_seconds <"$work/$kind-pack.txt")
  }
  pack_nsis() {
    local times
    times=$({ TIMEFORMAT='%R %U %S'; time makensis -V1 "$work/$kind.nsi" >/dev/null; } 2>&1)
    nsis_time=$(echo "$times" | awk '{ printf "%.3f", $1 }')
    nsis_cpu=$(echo "$times" | awk '{ printf "%.3f", $2 + $3 }')
  }
  # 7-Zip's archive of the same files, for size (and its time beside ours).
  pack_seven() {
    rm -f "$work/$kind.7z"
    local start
    start=$(now)
    (cd "$package" && 7zz a -bd -bso0 -mx9 "$work/$kind.7z" Setup.exe Setup.ini data.dat)
    seven_time=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')
  }
  for ((round = 0; round < build_rounds; round++)); do
    if ((round % 2 == 0)); then pack_ours; pack_nsis; else pack_nsis; pack_ours; fi
    ours_times+=("$ours_time") ours_cpus+=("$ours_cpu") nsis_times+=("$nsis_time") nsis_cpus+=("$nsis_cpu")
    wall_ratios+=("$(ratio "$ours_time" "$nsis_time")") cpu_ratios+=("$(ratio "$ours_cpu" "$nsis_cpu")")
  done
  pack_seven
  local ours_size nsis_size seven_size
  ours_size=$(stat -c %s "$work/$kind-single.exe")
  nsis_size=$(stat -c %s "$work/$kind-nsis.exe")
  seven_size=$(stat -c %s "$work/$kind.7z")

  printf '  %-34s %14s %14s %9s\n' "" "single file" "NSIS" "ratio"
  printf '  %-34s %14s %14s %9s  (goal <= 0.990)\n' "size (bytes)" "$ours_size" "$nsis_size" "$(ratio "$ours_size" "$nsis_size")"
  printf '  %-34s %14s %14s %9s  (goal <= 1.000; 7-Zip/NSIS %s)\n' "size against 7zz a -mx9 (bytes)" "$ours_size" "$seven_size" \
    "$(ratio "$ours_size" "$seven_size")" "$(ratio "$seven_size" "$nsis_size")"
  echo "  build time, median of $build_rounds paired rounds (ratio: median of the rounds' ratios; each round's: ${wall_ratios[*]})"
  printf '  %-34s %13ss %13ss %9s  (goal <= 0.600)\n' "build time, wall clock" "$(median "${ours_times[@]}")" "$(median "${nsis_times[@]}")" "$(median "${wall_ratios[@]}")"
  printf '  %-34s %13ss %13ss %9s  (both threads counted)\n' "build time, processor" "$(median "${ours_cpus[@]}")" "$(median "${nsis_cpus[@]}")" "$(median "${cpu_ratios[@]}")"
  printf '  %-34s %13ss  (one run, its own threads)\n' "7zz a -mx9, wall clock" "$seven_time"
  printf '  %-34s %14s %14s\n' "compressed to" "$(ratio "$ours_size" "$((bytes + $(stat -c %s "$package/Setup.exe")))")" \
    "$(ratio "$nsis_size" "$((bytes + $(stat -c %s "$package/Setup.exe")))")"

  # Unpacking + installing against decoding + the plain install, alternating.
  local singles=() decodes=() plains=() nsis_installs=() install_ratios=() run
  for ((run = 0; run < runs; run++)); do
    singles+=("$(timed_install "$work/$kind-single.exe")")
    decodes+=("$(bench decode "$(winpath "$work/$kind-single.exe")" | value decode_seconds)")
    plains+=("$(timed_install "$package/Setup.exe")")
    if kovrin_runs_32bit; then
      nsis_installs+=("$(timed_install "$work/$kind-nsis.exe")")
      install_ratios+=("$(ratio "${singles[-1]}" "${nsis_installs[-1]}")")
    fi
  done
  local single decode plain
  single=$(median "${singles[@]}")
  decode=$(median "${decodes[@]}")
  plain=$(median "${plains[@]}")
  local baseline
  baseline=$(awk -v a="$decode" -v b="$plain" 'BEGIN { printf "%.3f", a + b }')
  echo "  under Wine, median of $runs runs (each install driven through the setup window):"
  printf '    single file: unpack + install          %8.3f s\n' "$single"
  printf '    decode the stream alone                %8.3f s\n' "$decode"
  printf '    plain install of the unpacked package  %8.3f s\n' "$plain"
  printf '    ratio single / (decode + plain)        %8s   (goal <= 1.300)\n' "$(ratio "$single" "$baseline")"
  local install_ratio="n/a"
  direct_ratio="n/a"
  if kovrin_runs_32bit; then
    install_ratio=$(median "${install_ratios[@]}")
    printf '    NSIS installer (32-bit): unpack + install %8.3f s\n' "$(median "${nsis_installs[@]}")"
    printf '    ratio single / NSIS, median of the runs %8s   (goal <= 0.700; each run: %s)\n' "$install_ratio" "${install_ratios[*]}"
    nsis_direct "$kind" "$package" "$runs"
  else
    echo "    NSIS installer not run: this machine cannot start 32-bit programs (NSIS makes"
    echo "    32-bit installers only), so against NSIS only size and build time are compared."
  fi
  summary+=("$(printf '%-8s size/NSIS %s, size/7-Zip %s, build time/NSIS %s, unpack+install/NSIS install %s, unattended/NSIS direct %s' \
    "$kind" "$(ratio "$ours_size" "$nsis_size")" "$(ratio "$ours_size" "$seven_size")" \
    "$(median "${wall_ratios[@]}")" "$install_ratio" "$direct_ratio")")
}

echo "Single-file installer benchmark on the $kovrin_test_arch build ($kovrin_test_arch_why)"
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg) (the processor times are the fairer comparison on a busy machine)"
echo "reference: makensis $(makensis -VERSION) with SetCompressor /SOLID lzma (its default 8 MB dictionary)"
for corpus in $corpora; do
  case $corpus in
    typical) compare mixed "typical: text, random (already compressed) and program files" "$build/tests" ;;
    many) compare small "many: 20,000 small files" "$work" ;;
    real)
      read -r dlls before after < <(bash "$here/benchmarks/onefile/wine-dlls.sh" "$work/dlls")
      compare real "real: $dlls of Wine's own DLLs, $(mib "$before") before stripping, $(mib "$after") after" "$work/dlls"
      layouts "$work/dlls" ;;
  esac
done

echo
echo "== Sizes of the 32-bit distribution (build/dist)"
bench package empty "$(winpath "$work/empty")" "$(winpath "$dist32/Kovrin.dat")" >/dev/null
bench pack "$(winpath "$dist32/sfx.dat")" "$(winpath "$work/empty")" "$(winpath "$work/empty.exe")" >/dev/null
stub=$(stat -c %s "$dist32/sfx.dat")
empty=$(stat -c %s "$work/empty.exe")
printf '  stub sfx.dat                        %8s bytes (%s)   goal < 65536\n' "$stub" "$(kib "$stub")"
printf '  single file of an empty project     %8s bytes (%s)  goal <= 150000 (NSIS: 98,360)\n' "$empty" "$(kib "$empty")"
printf '  (its launcher Kovrin.dat            %8s bytes)\n' "$(stat -c %s "$dist32/Kovrin.dat")"
if [ "$build" != "$here/build" ]; then
  bench package empty "$(winpath "$work/empty64")" "$(winpath "$build/dist/Kovrin.dat")" >/dev/null
  bench pack "$(winpath "$build/dist/sfx.dat")" "$(winpath "$work/empty64")" "$(winpath "$work/empty64.exe")" >/dev/null
  printf '  x86_64 build: stub %s bytes, empty project %s bytes\n' "$(stat -c %s "$build/dist/sfx.dat")" "$(stat -c %s "$work/empty64.exe")"
fi

echo
echo "== Summary ($kovrin_test_arch build under Wine, $(nproc) processors)"
printf '  %s\n' "${summary[@]}"
printf '  empty project: %s bytes\n' "$empty"
