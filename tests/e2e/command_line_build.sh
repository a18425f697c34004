#!/usr/bin/env bash
# End to end, the command-line build: `Kovrin.exe /build examples/demo/demo.kovrin
# /out <folder>` from this script, while a designer runs (the build takes no
# notice of it). The package is checked file by file, installed with the setup
# program driven as a person would, compared with the sources and removed again
# through the uninstaller it registered. A damaged project, a missing source file
# and a bad command line end with their codes, one line on standard error and the
# output folder exactly as it was.
set -euo pipefail
started=$SECONDS
here=$(cd "$(dirname "$0")/../.." && pwd)
cd "$here"
source "$here/tests/e2e/lib/common.sh"

kovrin="$build/dist/Kovrin.exe"
demo=examples/demo
setup_title="Установка программы"
install_win='C:\Kovrin CLI E2E\Демо'
install_unix="$drive_c/Kovrin CLI E2E/Демо"
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovrin Demo'
user_unix="$drive_c/users/$(id -un)"
uninstaller_unix="$drive_c/windows/MVUninst.exe"
# The demo's files in list order, as the project names them.
files=(app/demo.cmd app/settings.ini app/lib/helper.txt docs/manual.txt docs/changes.txt)
names=('demo.cmd' 'settings.ini' 'lib\helper.txt' 'manual.txt' 'changes.txt')

[ ! -e "$drive_c/Kovrin CLI E2E" ] || { echo "FAIL: $drive_c/Kovrin CLI E2E exists already" >&2; exit 1; }
! driver regget "$key" DisplayName >/dev/null || { echo "FAIL: HKLM\\$key exists already" >&2; exit 1; }
made_on_the_way=()
for path in "$user_unix/Temp/Kovrin_Kovrin Demo" "$uninstaller_unix"; do
  [ -e "$path" ] || made_on_the_way+=("$path")
done

work=$(mktemp -d)
pids=()
links=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work" "$drive_c/Kovrin CLI E2E" "${made_on_the_way[@]}"
  for link in "${links[@]}"; do rm -f "$link"; done
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || echo "command_line_build: FAIL" >&2
}
trap cleanup EXIT

# Runs Kovrin.exe with the arguments; its exit code, output and errors land in
# $code, $work/out.txt and $work/err.txt (line ends as the console had them).
run_kovrin() {
  code=0
  timeout 120 wine "$kovrin" "$@" >"$work/out.txt" 2>"$work/err.txt" || code=$?
  tr -d '\r' <"$work/out.txt" >"$work/out" && tr -d '\r' <"$work/err.txt" >"$work/err"
}
# Every file below a folder with its checksum: what "untouched" is compared by.
listing() { (cd "$1" && find . -type f -exec sha256sum {} + | sort); }

# A designer is running: the build asks no second-instance question.
wine_run "$kovrin" & pids+=($!)
driver wait "Kovrin 1.4.1" 60000 >/dev/null || fail "the designer did not open"

out="$work/Пакет"
run_kovrin /build "$demo/demo.kovrin" /out "$(windows_path "$out")"
[ "$code" = 0 ] || fail "exit $code: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "standard error: $(cat "$work/err")"
! driver msgbox "Проверка" none 500 >/dev/null || fail "the build asked the second-instance question"
for line in "[1/4] Создание INI файла" "    Создание файла Setup.ini" \
  "[2/4] Добавление файлов для установки" "    Добавление файла lib\\helper.txt" \
  "[3/4] Добавление дополнительной информации" "[4/4] Сжатие файлов"; do
  grep -qxF -- "$line" "$work/out" || fail "no line [$line] in: $(cat "$work/out")"
done
[ "$(tail -n 1 "$work/out")" = "Установочная программа создана. $(windows_path "$out")" ] ||
  fail "the last line is [$(tail -n 1 "$work/out")]"

# The package: the kit's files, the script's values, the payload end to end.
listing=$(cd "$out" && LC_ALL=C ls | tr '\n' ' ')
[ "$listing" = "Setup.exe Setup.ini data.dat setup.dat uninst.dat " ] || fail "the package holds [$listing]"
cmp -s "$out/Setup.exe" "$build/dist/Kovrin.dat" || fail "Setup.exe is not Kovrin.dat"
cmp -s "$out/uninst.dat" "$build/dist/uninst.dat" || fail "uninst.dat differs"
ini=$out/Setup.ini
[ "$(ini_value "$ini" Main ProgramName)" = "Kovrin Demo" ] || fail "ProgramName"
[ "$(ini_value "$ini" Main CompanyName)" = "Morvel Labs" ] || fail "CompanyName"
[ "$(ini_value "$ini" Main InstallPath)" = '%ProgramFiles%\%CompanyName%\Kovrin Demo' ] || fail "InstallPath"
[ "$(ini_value "$ini" One_Data CountOfFiles)" = ${#files[@]} ] || fail "CountOfFiles"
[ "$(ini_value "$ini" One_ShortCuts CountOfShortCuts)" = 2 ] || fail "CountOfShortCuts"
[ "$(ini_value "$ini" Extended UseUninstall)" = 1 ] || fail "UseUninstall"
: >"$work/joined"
total=0
for i in "${!files[@]}"; do
  n=$((i + 1)) source="$demo/files/${files[$i]}"
  [ "$(ini_value "$ini" One_Files "FileName$n")" = "${names[$i]}" ] || fail "FileName$n"
  [ "$(ini_value "$ini" One_Files "FileSize$n")" = "$(stat -c %s "$source")" ] || fail "FileSize$n"
  total=$((total + $(stat -c %s "$source")))
  cat "$source" >>"$work/joined"
done
[ "$(ini_value "$ini" One_Data SummarySize)" = "$total" ] || fail "SummarySize"
cmp -s "$out/data.dat" "$work/joined" || fail "data.dat is not the files end to end"
texts=$(($(ini_value "$ini" ReadMe Size) + $(ini_value "$ini" License Size)))
[ "$(stat -c %s "$out/setup.dat")" = "$texts" ] || fail "setup.dat is not the two texts"

# Installed as a person would, into a folder of its own, with both shortcuts.
wine_run "$out/Setup.exe" & pids+=($!)
driver wait "$setup_title" 60000 || fail "the setup window did not open"
driver select "$setup_title" "Путь установки" || fail "no install-path page"
driver settext "$setup_title" "Выберите путь установки программы:" "$install_win" || fail "no path box"
driver select "$setup_title" "Ярлыки" || fail "no shortcuts page"
driver check "$setup_title" "Создать ярлыки на рабочем столе" 1 || fail "no desktop box"
driver check "$setup_title" 'Создать ярлыки в меню "Пуск"' 1 || fail "no Start menu box"
driver click "$setup_title" "Установить" || fail "no install button"
driver waitbutton "$setup_title" "Готово" 120000 || fail "the install did not finish"
driver check "$setup_title" "Запустить установленную программу" 0 || fail "no run-program box"
driver click "$setup_title" "Готово" || fail "no finish button"
driver waitgone "$setup_title" 30000 || fail "the setup window did not close"
wait "${pids[-1]}" || fail "the setup program ended with $?"

for i in "${!files[@]}"; do
  installed="$install_unix/${names[$i]//\\//}"
  cmp -s "$demo/files/${files[$i]}" "$installed" || fail "the installed ${names[$i]} differs"
done
uninst="$install_unix/Uninst.ini"
[ "$(ini_value "$uninst" ShortCuts Count)" = 2 ] || fail "Uninst.ini: two shortcuts expected"
for n in 1 2; do
  link=$(wine winepath -u "$(ini_value "$uninst" ShortCuts "ShortCut$n")" 2>/dev/null)
  links+=("$link")
  [ -f "$link" ] || fail "shortcut $n is missing: $link"
done

command_line=$(driver regget "$key" UninstallString) || fail "the uninstall entry is missing"
uninstall_confirmed "$command_line"
[ ! -e "$install_unix" ] || fail "the install folder is left"
for link in "${links[@]}"; do [ ! -e "$link" ] || fail "$link is left"; done
! driver regget "$key" DisplayName >/dev/null || fail "the uninstall entry is left"

# Failures: their code, one line on standard error, the output folder as it was.
mkdir -p "$work/earlier/sub"
printf 'earlier package\r\n' >"$work/earlier/Setup.ini"
printf 'old' >"$work/earlier/sub/data.dat"
before=$(listing "$work/earlier")
expect_refusal() {  # <code> <text in the error line> <arguments...>
  local expected=$1 text=$2
  shift 2
  run_kovrin "$@"
  [ "$code" = "$expected" ] || fail "exit $code instead of $expected for $*"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "standard error is not one line: $(cat "$work/err")"
  grep -qF -- "$text" "$work/err" || fail "standard error lacks [$text]: $(cat "$work/err")"
  [ "$(listing "$work/earlier")" = "$before" ] || fail "the output folder changed ($*)"
}
mkdir "$work/broken" "$work/missing"
cp -r "$demo"/. "$work/broken"
head -c 700 "$demo/demo.kovrin" >"$work/broken/demo.kovrin"
expect_refusal 3 "Проект не собран: demo.kovrin, строка " \
  /build "$(windows_path "$work/broken/demo.kovrin")" /out "$(windows_path "$work/earlier")"
[ ! -s "$work/out" ] || fail "a damaged project printed: $(cat "$work/out")"
cp -r "$demo"/. "$work/missing"
rm "$work/missing/files/docs/manual.txt"
expect_refusal 4 'Не найден или не открывается исходный файл: ' \
  /build "$(windows_path "$work/missing/demo.kovrin")" /out "$(windows_path "$work/earlier")"
grep -qF 'files\docs\manual.txt' "$work/err" || fail "the missing file is not named: $(cat "$work/err")"
expect_refusal 2 "Использование: Kovrin.exe /build" /build /out "$(windows_path "$work/earlier")"

kill -0 "${pids[0]}" 2>/dev/null || fail "the running designer ended"
# Closed as a person closes it: a signal does not always end a Wine process.
driver menu "Kovrin 1.4.1" "Выход" || fail "no menu command Выход"
wait "${pids[0]}" || fail "the designer ended with $?"
pids=()  # the setup program and the uninstaller were waited for above
echo "command_line_build: PASS ($((SECONDS - started)) s)"
