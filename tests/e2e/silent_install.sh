#!/usr/bin/env bash
# End to end, unattended: a package installed with /S /D=<folder with blanks and
# Cyrillic letters> /LOG=<file> without any window, its log and its complete
# uninstall entry checked, then the registered QuietUninstallString run, again
# without any window; last a damaged package refused with code 2 within seconds.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Тихий ковёр $$"
install_win='C:\Kovrin E2E тихо\Ковёр 2'
install_unix="$drive_c/Kovrin E2E тихо/Ковёр 2"
links_win='C:\Kovrin E2E тихо ярлыки'
links_unix="$drive_c/Kovrin E2E тихо ярлыки"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
work=$(mktemp -d)
package=$work/package
mkdir "$package"
cleanup() {
  rm -rf "$work" "$drive_c/Kovrin E2E тихо" "$links_unix"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT
# %StartMenu% is looked up in the environment first: the menu link lands in a
# folder of the test's own.
export StartMenu="$links_win\\menu"

head -c 1500000 /dev/urandom >"$work/big.bin"
printf 'Программа Ковёр\r\n' | iconv -f UTF-8 -t CP1251 >"$work/readme.txt"
cat "$work/big.bin" "$work/readme.txt" >"$package/data.dat"
readme_size=$(stat -c %s "$work/readme.txt")
total=$(stat -c %s "$package/data.dat")
printf '%s\r\n' \
  '[Main]' 'InstallPath=C:\Kovrin E2E тихо\не сюда' "ProgramName=$name" 'CompanyName=Ковёр и сыновья' \
  'ProductVersion=2.5 бета' 'UseReadMe=No' 'UseLicense=No' \
  '[One_Data]' "SummarySize=$total" 'CountOfFiles=2' \
  '[One_Files]' 'FileName1=bin\Kovrin.exe' 'FileSize1=1500000' \
  "FileName2=docs\\Прочти.txt" "FileSize2=$readme_size" \
  '[One_ShortCuts]' 'CountOfShortCuts=2' \
  'ShortCutName1=В меню' 'ShortCutSavePath1=%StartMenu%' 'ShortCutFileName1=%InstallPath%\bin\Kovrin.exe' \
  'ShortCutParams1=' 'ShortCutFilePath1=%InstallPath%\bin\' \
  'ShortCutName2=%ProgramName%' "ShortCutSavePath2=$links_win" 'ShortCutFileName2=%InstallPath%\bin\Kovrin.exe' \
  'ShortCutParams2=-e2e' 'ShortCutFilePath2=%InstallPath%\bin\' \
  '[Extended]' 'UseReboot=1' 'AskToReboot=1' 'UseRun=1' 'UseGoSite=0' 'UseUninstall=1' \
  'RunFileName=%InstallPath%\bin\Kovrin.exe' 'SiteAddress=' | iconv -f UTF-8 -t CP1251 >"$package/Setup.ini"
cp "$build/dist/Kovrin.dat" "$package/Setup.exe"
cp "$build/dist/uninst.dat" "$package/uninst.dat"
setup_win=$(windows_path "$package/Setup.exe")
log_unix=$work/установка.log
log_win=$(windows_path "$log_unix")

# The install: no window may appear while it runs (the driver watches), and the
# restart and start-the-program options of the script are not carried out.
code=0
driver runhidden 120000 "\"$setup_win\" /LOG=\"$log_win\" /s /D=$install_win" || code=$?
[ "$code" -eq 0 ] || { cat "$log_unix" >&2 || true; fail "the silent install ended with $code"; }

cmp "$work/big.bin" "$install_unix/bin/Kovrin.exe" || fail "bin\\Kovrin.exe differs"
cmp "$work/readme.txt" "$install_unix/docs/Прочти.txt" || fail "docs\\Прочти.txt differs"
[ ! -e "$drive_c/Kovrin E2E тихо/не сюда" ] || fail "the script's folder was used instead of /D="
[ -f "$links_unix/menu/В меню.lnk" ] || fail "the Start menu link was not made"
[ -f "$links_unix/$name.lnk" ] || fail "the folder link was not made"

log=$(tr -d '\r' <"$log_unix")
expect_log() { grep -qF -- "$1" <<<"$log" || { echo "$log" >&2; fail "the log lacks: $1"; }; }
[ "$(head -c 3 "$log_unix" | od -An -tx1 | tr -d ' ')" != efbbbf ] || fail "the log starts with a BOM"
expect_log "Командная строка: "
expect_log "Пакет: "
expect_log "Продукт: $name, версия 2.5 бета"
expect_log "Папка установки: $install_win"
expect_log "Файл: $install_win\\bin\\Kovrin.exe (1500000 байт)"
expect_log "Файл: $install_win\\docs\\Прочти.txt ($readme_size байт)"
expect_log "Ярлык: $links_win\\menu\\В меню.lnk"
expect_log "Ярлык: $links_win\\$name.lnk"
expect_log "Программа удаления: C:\\windows\\MVUninst.exe"
expect_log "Запись в реестре: HKEY_LOCAL_MACHINE\\$key"
expect_log "Итог: код 0, установлено"
grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:.]{12} Файл: ' <<<"$log" || fail "log lines lack their time stamps"

value() { driver regget "$key" "$1" || fail "the uninstall entry lacks $1"; }
uninstall_string=$(value UninstallString)
[ "$uninstall_string" = "C:\\windows\\MVUninst.exe \"$install_win\\Uninst.ini\" \"$name\"" ] ||
  fail "UninstallString is [$uninstall_string]"
[ "$(value DisplayName)" = "$name" ] || fail "DisplayName"
[ "$(value DisplayIcon)" = '"C:\windows\MVUninst.exe",0' ] || fail "DisplayIcon"
[ "$(value DisplayVersion)" = "2.5 бета" ] || fail "DisplayVersion is [$(value DisplayVersion)]"
[ "$(value Publisher)" = "Ковёр и сыновья" ] || fail "Publisher"
[ "$(value InstallLocation)" = "$install_win" ] || fail "InstallLocation is [$(value InstallLocation)]"
[ "$(value InstallDate)" = "$(date +%Y%m%d)" ] || fail "InstallDate is [$(value InstallDate)]"
[ "$(value EstimatedSize)" = "$(((total + 1023) / 1024))" ] || fail "EstimatedSize is [$(value EstimatedSize)]"
[ "$(value NoModify)" = 1 ] && [ "$(value NoRepair)" = 1 ] || fail "NoModify and NoRepair"
quiet=$(value QuietUninstallString)
[ "$quiet" = "$uninstall_string /S" ] || fail "QuietUninstallString is [$quiet]"

# The quiet uninstall, as a deployment tool starts it: no box, exit 0, all gone.
code=0
driver runhidden 60000 "$quiet /LOG=$(windows_path "$work/удаление.log")" || code=$?
[ "$code" -eq 0 ] || { cat "$work/удаление.log" >&2 || true; fail "the quiet uninstall ended with $code"; }
[ ! -e "$install_unix" ] || fail "the install folder is left: $(ls -R "$install_unix")"
[ ! -e "$links_unix/menu/В меню.lnk" ] && [ ! -e "$links_unix/$name.lnk" ] || fail "a link is left"
driver regget "$key" DisplayName >/dev/null && fail "the uninstall key is left"
grep -q "Итог: код 0" "$work/удаление.log" || fail "the uninstall log lacks its result"

# A damaged package: data.dat shorter than its script says. Code 2 within
# seconds, the reason in the log and on standard error, no window ever.
truncate -s 1000 "$package/data.dat"
code=0
started=$(date +%s)
driver runhidden 30000 "\"$setup_win\" /S /LOG=\"$log_win\" /D=$install_win" 2>"$work/stderr" || code=$?
seconds=$(($(date +%s) - started))
[ "$code" -eq 2 ] || fail "the damaged package ended with $code, not 2"
[ "$seconds" -le 10 ] || fail "the damaged package took $seconds s"
grep -q "Итог: код 2, пакет повреждён или неполон: .*data.dat" "$log_unix" || fail "the log lacks the reason: $(cat "$log_unix")"
grep -q "data.dat" "$work/stderr" || fail "standard error lacks the reason: $(cat "$work/stderr")"
[ ! -e "$install_unix" ] || fail "the damaged package wrote into the install folder"

# A switch the program does not know: code 4, the list of switches, no window.
code=0
driver runhidden 30000 "\"$setup_win\" /S /quiet" 2>"$work/stderr" || code=$?
[ "$code" -eq 4 ] || fail "an unknown switch ended with $code, not 4"
grep -q "/LOG=" "$work/stderr" || fail "standard error lacks the list of switches"
echo "silent_install: passed ($seconds s for the damaged package)"
