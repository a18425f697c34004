#!/usr/bin/env bash
# End to end: two products installed into one folder through the setup window,
# the second uninstalled (the first stays whole and keeps its record, its link
# and its entry), then the first; and a package with one flipped payload byte,
# refused with nothing left on disk and nothing registered.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name_a="Первый E2E $$"
name_b="Второй E2E $$"
name_c="Битый E2E $$"
shared_win='C:\Kovrin Shared E2E'
shared_unix="$drive_c/Kovrin Shared E2E"
links_win='C:\Kovrin Shared E2E Links'
links_unix="$drive_c/Kovrin Shared E2E Links"
damaged_win='C:\Kovrin Damaged E2E'
damaged_unix="$drive_c/Kovrin Damaged E2E"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'
work=$(mktemp -d)
setup_pid=
cleanup() {
  [ -n "$setup_pid" ] && kill "$setup_pid" 2>/dev/null || true
  rm -rf "$work" "$shared_unix" "$links_unix" "$damaged_unix"
  for name in "$name_a" "$name_b" "$name_c"; do
    wine_run reg delete "HKLM\\$uninstall_key\\$name" /f >/dev/null 2>&1 || true
  done
}
trap cleanup EXIT

# CRC-32 as the script stores it, from the gzip trailer (little-endian CRC).
crc_of() { gzip -c "$1" | tail -c8 | head -c4 | od -An -tx4 | tr -d ' \n' | tr a-f A-F; }

# make_package <folder> <program name> <install folder> <link name> <name=source>...
# Setup.ini (with FileCrc<n>), data.dat, the setup program and the uninstaller;
# one link to the first file in the shared links folder.
make_package() {
  local folder=$1 name=$2 install=$3 link=$4
  shift 4
  mkdir -p "$folder"
  : >"$folder/data.dat"
  local rows=() n=0 entry
  for entry in "$@"; do
    n=$((n + 1))
    local relative=${entry%%=*} source=${entry#*=}
    cat "$source" >>"$folder/data.dat"
    rows+=("FileName$n=$relative" "FileSize$n=$(stat -c %s "$source")" "FileCrc$n=$(crc_of "$source")")
  done
  local first=${1%%=*}
  printf '%s\r\n' \
    '[Main]' "InstallPath=$install" "ProgramName=$name" 'CompanyName=Ковёр' \
    'UseReadMe=No' 'UseLicense=No' \
    '[One_Data]' "SummarySize=$(stat -c %s "$folder/data.dat")" "CountOfFiles=$n" \
    '[One_Files]' "${rows[@]}" \
    '[One_ShortCuts]' 'CountOfShortCuts=1' \
    "ShortCutName1=$link" "ShortCutSavePath1=$links_win" "ShortCutFileName1=%InstallPath%\\$first" \
    'ShortCutParams1=' 'ShortCutFilePath1=%InstallPath%' \
    '[Extended]' 'UseReboot=0' 'AskToReboot=0' 'UseRun=0' 'UseGoSite=0' 'UseUninstall=1' \
    'RunFileName=' 'SiteAddress=' | iconv -f UTF-8 -t CP1251 >"$folder/Setup.ini"
  cp "$build/dist/Kovrin.dat" "$folder/Setup.exe"
  cp "$build/dist/uninst.dat" "$folder/uninst.dat"
}

# Starts the setup program and presses "Установить".
start_install() {
  wine_run "$1/Setup.exe" & setup_pid=$!
  driver wait "Установка программы" 60000 || fail "the setup window did not open"
  driver click "Установка программы" "Установить" || fail "no install button"
}

install_as_a_person() {
  start_install "$1"
  driver waitbutton "Установка программы" "Готово" 120000 || fail "the install of $1 did not finish"
  driver click "Установка программы" "Готово" || fail "no finish button"
  driver waitgone "Установка программы" 30000 || fail "the window did not close"
  wait "$setup_pid" || fail "the setup program ended with $?"
  setup_pid=
}

# Runs the registered command line, answers "Да", prints the report.
uninstall_as_a_person() {
  driver run "$1" & local pid=$!
  driver msgbox "Удаление программы" yes || fail "no question from the uninstaller"
  driver msgbox "Удаление программы" ok || fail "no report from the uninstaller"
  wait "$pid" || fail "the uninstaller ended with $?"
}

registered() { driver regget "$uninstall_key\\$1" UninstallString; }

sources=$work/sources
mkdir -p "$sources"
head -c 700000 /dev/urandom >"$sources/a.exe"
head -c 5000 /dev/urandom >"$sources/common.dll"
printf 'Первый\r\n' >"$sources/a.txt"
head -c 300000 /dev/urandom >"$sources/b.exe"
printf 'Второй\r\n' >"$sources/b.txt"

make_package "$work/a" "$name_a" "$shared_win" "Первый" 'bin\a.exe'="$sources/a.exe" \
  'common.dll'="$sources/common.dll" 'docs\readme.txt'="$sources/a.txt"
make_package "$work/b" "$name_b" "$shared_win" "Второй" 'bin\b.exe'="$sources/b.exe" \
  'common.dll'="$sources/common.dll" 'docs\b.txt'="$sources/b.txt"

install_as_a_person "$work/a"
shot 1-first-installed
install_as_a_person "$work/b"
shot 2-second-installed

# One record each; the first keeps Uninst.ini and its command line.
[ "$(ini_value "$shared_unix/Uninst.ini" Files ProgramName)" = "$name_a" ] || fail "Uninst.ini is not the first product's"
[ "$(ini_value "$shared_unix/Uninst1.ini" Files ProgramName)" = "$name_b" ] || fail "Uninst1.ini is not the second product's"
command_a=$(registered "$name_a") || fail "the first product is not registered"
command_b=$(registered "$name_b") || fail "the second product is not registered"
[ "$command_a" = "C:\\windows\\MVUninst.exe \"$shared_win\\Uninst.ini\" \"$name_a\"" ] || fail "first command line [$command_a]"
[ "$command_b" = "C:\\windows\\MVUninst.exe \"$shared_win\\Uninst1.ini\" \"$name_b\"" ] || fail "second command line [$command_b]"
record_a=$(sha256sum <"$shared_unix/Uninst.ini")

uninstall_as_a_person "$command_b"

[ ! -e "$shared_unix/bin/b.exe" ] || fail "the second product's b.exe is left"
[ ! -e "$shared_unix/docs/b.txt" ] || fail "the second product's b.txt is left"
[ ! -e "$shared_unix/Uninst1.ini" ] || fail "the second product's record is left"
[ ! -e "$links_unix/Второй.lnk" ] || fail "the second product's link is left"
registered "$name_b" >/dev/null && fail "the second product is still registered"
cmp "$sources/a.exe" "$shared_unix/bin/a.exe" || fail "the first product's a.exe was touched"
cmp "$sources/common.dll" "$shared_unix/common.dll" || fail "common.dll, listed by the first product too, was removed"
cmp "$sources/a.txt" "$shared_unix/docs/readme.txt" || fail "the first product's readme was touched"
[ -f "$links_unix/Первый.lnk" ] || fail "the first product's link was removed"
[ "$(sha256sum <"$shared_unix/Uninst.ini")" = "$record_a" ] || fail "the first product's record changed"
[ "$(registered "$name_a")" = "$command_a" ] || fail "the first product's entry changed"

uninstall_as_a_person "$command_a"

[ ! -e "$shared_unix" ] || fail "the shared folder is left: $(ls -R "$shared_unix")"
[ ! -e "$links_unix/Первый.lnk" ] || fail "the first product's link is left"
registered "$name_a" >/dev/null && fail "the first product is still registered"

# A package whose payload lost one bit in its second file.
make_package "$work/c" "$name_c" "$damaged_win" "Битый" 'one.bin'="$sources/b.exe" \
  'two.bin'="$sources/a.exe"
offset=$(($(stat -c %s "$sources/b.exe") + 1234))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/c/data.dat" | tr -d ' ')
printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$work/c/data.dat" bs=1 seek="$offset" conv=notrunc status=none

start_install "$work/c"
[ -z "${KOVRIN_SHOTS:-}" ] || { driver msgbox "Установка программы" none 120000 >/dev/null 2>&1 || true; shot 3-damaged-error; }
report=$(driver msgbox "Установка программы" ok 120000) || fail "no error for the damaged package"
echo "$report"
shot 4-damaged-stopped
case $report in *two.bin*повреждён*) ;; *) fail "the error does not name two.bin as damaged: $report" ;; esac
driver waitbutton "Установка программы" "Готово" 2000 && fail "the finish page was shown"
driver click "Установка программы" "Отмена" || fail "the window cannot be closed after the error"
driver waitgone "Установка программы" 30000 || fail "the window did not close"
wait "$setup_pid" || true
setup_pid=
[ ! -e "$damaged_unix" ] || fail "the refused install left files: $(ls -R "$damaged_unix")"
[ ! -e "$links_unix/Битый.lnk" ] || fail "the refused install left a link"
registered "$name_c" >/dev/null && fail "the refused install is registered"
rmdir "$links_unix" 2>/dev/null || true
echo "shared_folder_and_damage: passed"
