#!/usr/bin/env bash
# End to end: a package written here, the setup program started under Wine and
# driven like a person ("Установить", wait, "Готово"), then the uninstaller
# started on the command line the install registered. Afterwards the install
# folder, the link and the registry key are gone and a user's own file is kept.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Ковёр E2E $$"
install_win='C:\Kovrin E2E\Ковёр'
install_unix="$drive_c/Kovrin E2E/Ковёр"
links_win='C:\Kovrin E2E Links'
links_unix="$drive_c/Kovrin E2E Links"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
package=$(mktemp -d)
setup_pid=
cleanup() {
  [ -n "$setup_pid" ] && kill "$setup_pid" 2>/dev/null || true
  rm -rf "$package" "$drive_c/Kovrin E2E" "$links_unix"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The package: three files (one empty, one in a sub-folder), two shortcuts (one
# on the desktop, whose box stays unticked, one in a folder of its own).
head -c 1500000 /dev/urandom >"$package/big.bin"
printf 'Программа Ковёр\r\n' | iconv -f UTF-8 -t CP1251 >"$package/readme.txt"
: >"$package/empty.txt"
cat "$package/big.bin" "$package/readme.txt" "$package/empty.txt" >"$package/data.dat"
printf '%s\r\n' \
  '[Main]' "InstallPath=$install_win" "ProgramName=$name" 'CompanyName=Ковёр и сыновья' \
  'UseReadMe=No' 'UseLicense=No' \
  '[One_Data]' "SummarySize=$(stat -c %s "$package/data.dat")" 'CountOfFiles=3' \
  '[One_Files]' 'FileName1=bin\Kovrin.exe' 'FileSize1=1500000' \
  "FileName2=docs\\Прочти.txt" "FileSize2=$(stat -c %s "$package/readme.txt")" \
  'FileName3=empty.txt' 'FileSize3=0' \
  '[One_ShortCuts]' 'CountOfShortCuts=2' \
  'ShortCutName1=На столе' 'ShortCutSavePath1=%Desktop%' 'ShortCutFileName1=%InstallPath%\bin\Kovrin.exe' \
  'ShortCutParams1=' 'ShortCutFilePath1=%InstallPath%\bin\' \
  'ShortCutName2=%ProgramName%' "ShortCutSavePath2=$links_win" 'ShortCutFileName2=%InstallPath%\bin\Kovrin.exe' \
  'ShortCutParams2=-e2e' 'ShortCutFilePath2=%InstallPath%\bin\' \
  '[Extended]' 'UseReboot=0' 'AskToReboot=0' 'UseRun=0' 'UseGoSite=0' 'UseUninstall=1' \
  'RunFileName=%InstallPath%\bin\Kovrin.exe' 'SiteAddress=' | iconv -f UTF-8 -t CP1251 >"$package/Setup.ini"
cp "$build/dist/Kovrin.dat" "$package/Setup.exe"
cp "$build/dist/uninst.dat" "$package/uninst.dat"

# Install as a person would.
wine_run "$package/Setup.exe" & setup_pid=$!
driver wait "Установка программы" 60000 || fail "the setup window did not open"
shot 1-setup
driver click "Установка программы" "Установить" || fail "no install button"
driver waitbutton "Установка программы" "Готово" 120000 || fail "the install did not finish"
shot 2-finished
driver click "Установка программы" "Готово" || fail "no finish button"
driver waitgone "Установка программы" 30000 || fail "the window did not close"
wait "$setup_pid" || fail "the setup program ended with $?"
setup_pid=

cmp "$package/big.bin" "$install_unix/bin/Kovrin.exe" || fail "bin\\Kovrin.exe differs"
cmp "$package/readme.txt" "$install_unix/docs/Прочти.txt" || fail "docs\\Прочти.txt differs"
[ -f "$install_unix/empty.txt" ] && [ ! -s "$install_unix/empty.txt" ] || fail "empty.txt"
link="$links_unix/$name.lnk"
[ -f "$link" ] || fail "the shortcut was not made"
[ -f "$drive_c/windows/MVUninst.exe" ] || fail "MVUninst.exe was not placed"
iconv -f CP1251 -t UTF-8 "$install_unix/Uninst.ini" | grep -q '^ShortCut2=.*\.lnk' || fail "Uninst.ini lacks ShortCut2"
iconv -f CP1251 -t UTF-8 "$install_unix/Uninst.ini" | grep -q '^ShortCut1=' && fail "the unticked desktop shortcut was recorded"
command_line=$(driver regget "$key" UninstallString) || fail "the uninstall key is missing"
expected="C:\\windows\\MVUninst.exe \"$install_win\\Uninst.ini\" \"$name\""
[ "$command_line" = "$expected" ] || fail "UninstallString is [$command_line], expected [$expected]"

# The user's own file in the install folder.
echo "my notes" >"$install_unix/bin/notes.txt"

# Uninstall through the registered command line.
driver run "$command_line" & uninstall_pid=$!
[ -z "${KOVRIN_SHOTS:-}" ] || { driver msgbox "Удаление программы" none 30000 >/dev/null 2>&1 || true; shot 3-question; }
driver msgbox "Удаление программы" yes || fail "no question from the uninstaller"
[ -z "${KOVRIN_SHOTS:-}" ] || { sleep 1; shot 4-report; }
report=$(driver msgbox "Удаление программы" ok) || fail "no report from the uninstaller"
echo "$report"
wait "$uninstall_pid" || fail "the uninstaller ended with $?"

[ ! -e "$install_unix/docs" ] || fail "docs folder left"
[ ! -e "$install_unix/bin/Kovrin.exe" ] || fail "Kovrin.exe left"
[ ! -e "$install_unix/empty.txt" ] || fail "empty.txt left"
[ ! -e "$install_unix/Uninst.ini" ] || fail "Uninst.ini left"
[ "$(cat "$install_unix/bin/notes.txt")" = "my notes" ] || fail "the user's own file was removed"
[ ! -e "$link" ] || fail "the shortcut is left"
driver regget "$key" DisplayName >/dev/null && fail "the uninstall key is left"
[ -f "$drive_c/windows/MVUninst.exe" ] || fail "the shared uninstaller was removed"
echo "install_uninstall: passed"
