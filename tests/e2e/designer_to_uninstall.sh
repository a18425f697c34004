#!/usr/bin/env bash
# End to end, the whole kit as a person uses it. The designer (a copy of the
# distribution folder, since the example project takes its files from the
# designer's own folder) is filled with its example through the menu and built
# twice with "Запуск" into fresh output folders: as the example comes, and with
# "Создавать деинсталятор" ticked. Each package is checked file by file. The first
# is installed with the desktop shortcut; the second is installed over it and
# removed again through the uninstaller it registered.
set -euo pipefail
started=$SECONDS
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

designer_title="Kovrin 1.4.1"
build_title="Создание программы установки"
setup_title="Установка программы"
user=$(id -un)
user_unix="$drive_c/users/$user"
install_win='C:\Program Files\Morvel Labs'   # the example's "%ProgramFiles%\%CompanyName%"
install_unix="$drive_c/Program Files/Morvel Labs"
link_win="C:\\users\\$user\\Desktop\\Kovrin.lnk"
link_unix="$user_unix/Desktop/Kovrin.lnk"
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovrin'
uninstaller_unix="$drive_c/windows/MVUninst.exe"

# Never remove what this script did not make: refuse to start over leftovers.
for path in "$install_unix" "$link_unix"; do
  [ ! -e "$path" ] || { echo "FAIL: $path exists already; remove it first" >&2; exit 1; }
done
! driver regget "$key" DisplayName >/dev/null || { echo "FAIL: HKLM\\$key exists already" >&2; exit 1; }
# Made by the run, kept by the programs: the designer's build folder, the setup
# program's text folder, the shared uninstaller.
made_on_the_way=()
for path in "$user_unix/Temp/Kovrin" "$user_unix/Temp/Kovrin_Kovrin" "$uninstaller_unix"; do
  [ -e "$path" ] || made_on_the_way+=("$path")
done

work=$(mktemp -d)
designer_folder=$work/Kovrin
package1="$work/Пакет 1"   # neither output folder exists before its build
package2="$work/Пакет 2"
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work" "$install_unix" "$link_unix" "${made_on_the_way[@]}"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || echo "designer_to_uninstall: FAIL" >&2
}
trap cleanup EXIT

# The designer's own copy of a file the example names (the names differ in case).
source_of() { find "$designer_folder" -maxdepth 1 -iname "$1" -print -quit; }
example_files=(Kovrin.exe Kovrin.dat Setup.ico help.html)

build_package() {  # <output folder>
  driver select "$designer_title" "Главная" || fail "no Main page"
  driver settext "$designer_title" "Папка для установочной программы:" "$(windows_path "$1")" ||
    fail "no output folder box"
  driver menu "$designer_title" "Запуск" || fail "no menu command Запуск"
  driver wait "$build_title" 30000 || fail "the build dialog did not open"
  [ -z "${KOVRIN_SHOTS:-}" ] || { driver msgbox "Kovrin" none 30000 >/dev/null || true; shot "built-$(basename "$1")"; }
  local said
  said=$(driver msgbox "Kovrin" ok 30000) || fail "the build did not end with its message"
  [ "$said" = "text: Установочная программа создана." ] || fail "the build said [$said]"
  driver waitgone "$build_title" 30000 || fail "the build dialog stayed open"
}

check_package() {  # <output folder> <with uninstaller: 0|1>
  local dir=$1 expected="Setup.exe Setup.ini data.dat setup.dat"
  [ "$2" = 1 ] && expected="$expected uninst.dat"
  local listing
  listing=$(cd "$dir" && LC_ALL=C ls | tr '\n' ' ')
  [ "$listing" = "$expected " ] || fail "$dir holds [$listing], expected [$expected]"
  cmp -s "$dir/Setup.exe" "$designer_folder/Kovrin.dat" || fail "the launcher is not Kovrin.dat"
  [ "$2" = 0 ] || cmp -s "$dir/uninst.dat" "$designer_folder/uninst.dat" || fail "uninst.dat differs"
  [ "$(ini_value "$dir/Setup.ini" Extended UseUninstall)" = "$2" ] || fail "UseUninstall is not $2"
  [ "$(ini_value "$dir/Setup.ini" One_Data CountOfFiles)" = ${#example_files[@]} ] || fail "CountOfFiles"
  local n=0 total=0 name source size
  : >"$work/joined"
  for name in "${example_files[@]}"; do
    n=$((n + 1))
    source=$(source_of "$name")
    size=$(stat -c %s "$source")
    [ "$(ini_value "$dir/Setup.ini" One_Files "FileName$n")" = "$name" ] || fail "FileName$n is not $name"
    [ "$(ini_value "$dir/Setup.ini" One_Files "FileSize$n")" = "$size" ] || fail "FileSize$n is not $size"
    total=$((total + size))
    cat "$source" >>"$work/joined"
  done
  [ "$(ini_value "$dir/Setup.ini" One_Data SummarySize)" = "$total" ] || fail "SummarySize is not $total"
  cmp -s "$dir/data.dat" "$work/joined" || fail "data.dat is not the files end to end"
  local texts=$(($(ini_value "$dir/Setup.ini" ReadMe Size) + $(ini_value "$dir/Setup.ini" License Size)))
  [ "$(stat -c %s "$dir/setup.dat")" = "$texts" ] || fail "setup.dat is not the two texts"
}

install_package() {  # <output folder>
  wine_run "$1/Setup.exe" & pids+=($!)
  driver wait "$setup_title" 60000 || fail "the setup window did not open"
  driver select "$setup_title" "Ярлыки" || fail "no shortcuts page"
  driver check "$setup_title" "Создать ярлыки на рабочем столе" 1 || fail "no desktop box"
  driver click "$setup_title" "Установить" || fail "no install button"
  driver waitbutton "$setup_title" "Готово" 120000 || fail "the install did not finish"
  # The example offers to start the program and to open its site: nothing may start.
  driver check "$setup_title" "Зайти на зайт программы" 0 || fail "no visit-site box"
  driver check "$setup_title" "Запустить установленную программу" 0 || fail "no run-program box"
  shot "finished-$(basename "$1")"
  driver click "$setup_title" "Готово" || fail "no finish button"
  driver waitgone "$setup_title" 30000 || fail "the setup window did not close"
  wait "${pids[-1]}" || fail "the setup program ended with $?"
}

check_installed() {
  local uninst="$install_unix/Uninst.ini" n=0 name
  [ "$(ini_value "$uninst" Files FileCount)" = ${#example_files[@]} ] || fail "Uninst.ini: FileCount"
  for name in "${example_files[@]}"; do
    n=$((n + 1))
    cmp -s "$(source_of "$name")" "$install_unix/$name" || fail "the installed $name differs"
    [ "$(ini_value "$uninst" Files "File$n")" = "$install_win\\$name" ] || fail "Uninst.ini: File$n"
  done
  [ -f "$link_unix" ] || fail "no desktop shortcut"
  grep -qaF "$install_win\\Kovrin.exe" "$link_unix" || fail "the shortcut does not point at Kovrin.exe"
  [ "$(ini_value "$uninst" ShortCuts ShortCut1)" = "$link_win" ] || fail "Uninst.ini: ShortCut1"
  [ "$(ini_value "$uninst" ShortCuts Count)" = 1 ] || fail "Uninst.ini: Count"
}

# The designer: example, first build, uninstaller ticked, second build, exit.
cp -r "$build/dist" "$designer_folder"
wine_run "$designer_folder/Kovrin.exe" & pids+=($!)
designer_pid=${pids[-1]}
driver wait "$designer_title" 60000 || fail "the designer did not open"
driver menu "$designer_title" "Заполнить примером" || fail "no menu command Заполнить примером"
shot example
# A WinRAR installation cannot exist here: the package is built as separate files.
driver select "$designer_title" "Сжатие" || fail "no Compression page"
driver check "$designer_title" "Использовать сжатие c помощью WinRAR" 0 || fail "no WinRAR box"
build_package "$package1"
driver select "$designer_title" "Дополнительно" || fail "no Extended page"
driver check "$designer_title" "Создавать деинсталятор" 1 || fail "no uninstaller box"
build_package "$package2"
driver menu "$designer_title" "Выход" || fail "no menu command Выход"
driver waitgone "$designer_title" 30000 || fail "the designer did not close"
wait "$designer_pid" || fail "the designer ended with $?"

check_package "$package1" 0
check_package "$package2" 1

# The example as it comes: files, desktop link, Uninst.ini; no uninstall entry.
install_package "$package1"
check_installed
! driver regget "$key" DisplayName >/dev/null || fail "an uninstall entry without the uninstaller"

# With the uninstaller: installed over the first, then removed as Windows would.
install_package "$package2"
check_installed
command_line=$(driver regget "$key" UninstallString) || fail "the uninstall entry is missing"
expected="C:\\windows\\MVUninst.exe \"$install_win\\Uninst.ini\" \"Kovrin\""
[ "$command_line" = "$expected" ] || fail "UninstallString is [$command_line], expected [$expected]"
uninstall_confirmed "$command_line"
for name in "${example_files[@]}" Uninst.ini; do
  [ ! -e "$install_unix/$name" ] || fail "$name is left after the uninstall"
done
[ ! -e "$install_unix" ] || fail "the emptied install folder is left"
[ ! -e "$link_unix" ] || fail "the desktop shortcut is left after the uninstall"
! driver regget "$key" DisplayName >/dev/null || fail "the uninstall entry is left"

echo "designer_to_uninstall: PASS ($((SECONDS - started)) s)"
