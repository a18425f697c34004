#!/usr/bin/env bash
# End to end: a small package packed into one program by the built-in packer,
# started under Wine: the self-extractor unpacks it into a new temporary folder,
# the setup window is driven to install, and afterwards the installed files are
# there and the temporary folder is gone. Then a copy with one flipped byte in
# the compressed stream: the damaged-file message, nothing installed, nothing
# left in the temporary folder; and an unwritable temporary folder with /S:
# exit code 3 and nothing else.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Один файл E2E $$"
install_win='C:\Kovrin E2E\Один файл'
install_unix="$drive_c/Kovrin E2E/Один файл"
leftovers() { compgen -G "$drive_c/users/*/Temp/KovrinSetup-*" || true; }
[ -z "$(leftovers)" ] || fail "temporary folders left by an earlier run: $(leftovers)"
work=$(mktemp -d)
setup_pid=
cleanup() {
  [ -n "$setup_pid" ] && kill "$setup_pid" 2>/dev/null || true
  # The script started with no temporary folder: any left now is this run's,
  # from a program stopped half way. Ended for good first, it holds none open.
  if [ -n "$(leftovers)" ]; then
    wineserver -k 2>/dev/null || true
    while IFS= read -r folder; do rm -rf "$folder"; done < <(leftovers)
  fi
  rm -rf "$work" "$drive_c/Kovrin E2E"
}
trap cleanup EXIT

# The package as the build writes it: script, payload, launcher.
mkdir "$work/package"
head -c 700000 /dev/urandom >"$work/big.bin"
printf 'Программа в одном файле\r\n' | iconv -f UTF-8 -t CP1251 >"$work/readme.txt"
cat "$work/big.bin" "$work/readme.txt" >"$work/package/data.dat"
printf '%s\r\n' \
  '[Main]' "InstallPath=$install_win" "ProgramName=$name" 'CompanyName=Ковёр' \
  'UseReadMe=No' 'UseLicense=No' \
  '[One_Data]' "SummarySize=$(stat -c %s "$work/package/data.dat")" 'CountOfFiles=2' \
  '[One_Files]' 'FileName1=bin\Программа.exe' 'FileSize1=700000' \
  "FileName2=Прочти.txt" "FileSize2=$(stat -c %s "$work/readme.txt")" \
  '[One_ShortCuts]' 'CountOfShortCuts=0' \
  '[Extended]' 'UseReboot=0' 'AskToReboot=0' 'UseRun=0' 'UseGoSite=0' 'UseUninstall=0' \
  | iconv -f UTF-8 -t CP1251 >"$work/package/Setup.ini"
cp "$build/dist/Kovrin.dat" "$work/package/Установка.exe"
wine "$build/bin/pack_single.exe" "$(windows_path "$build/dist/sfx.dat")" \
  "$(windows_path "$work/Установка.exe")" "Установка.exe" \
  "$(windows_path "$work/package/Установка.exe")" "$(windows_path "$work/package/data.dat")" \
  "$(windows_path "$work/package/Setup.ini")" | tr -d '\r' || fail "packing failed"

# Started as a person would: the setup window appears from the unpacked folder.
wine "$work/Установка.exe" & setup_pid=$!
driver wait "Установка программы" 60000 || fail "the setup window did not open"
[ -n "$(leftovers)" ] || fail "no temporary folder while the setup program runs"
[ -f "$(leftovers)/Установка.exe" ] || fail "the launcher is not in the temporary folder"
shot 1-single-file-setup
driver click "Установка программы" "Установить" || fail "no install button"
driver waitbutton "Установка программы" "Готово" 60000 || fail "the install did not finish"
driver click "Установка программы" "Готово" || fail "no finish button"
wait "$setup_pid" || fail "the single file ended with $?"
setup_pid=
cmp "$work/big.bin" "$install_unix/bin/Программа.exe" || fail "bin\\Программа.exe differs"
cmp "$work/readme.txt" "$install_unix/Прочти.txt" || fail "Прочти.txt differs"
[ -z "$(leftovers)" ] || fail "the temporary folder was left: $(leftovers)"
rm -rf "$drive_c/Kovrin E2E"

# One flipped byte in the middle of the compressed stream.
python3 - "$work/Установка.exe" "$work/damaged.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[len(data) // 2] ^= 0x40
open(sys.argv[2], 'wb').write(data)
PY
wine "$work/damaged.exe" & setup_pid=$!
message=$(driver msgbox "Распаковка установки" ok 60000) || fail "no message for the damaged file"
[ "$message" = "text: Установочный файл повреждён" ] || fail "the message was [$message]"
status=0
wait "$setup_pid" || status=$?
setup_pid=
[ "$status" -eq 2 ] || fail "the damaged file ended with $status, expected 2"
[ ! -e "$install_unix" ] || fail "something was installed from the damaged file"
[ -z "$(leftovers)" ] || fail "the damaged file left a temporary folder: $(leftovers)"

# A temporary folder that cannot be written, unattended: exit code 3, no window.
status=0
wine cmd /c "set TMP=C:\\no such folder\\temp&& set TEMP=C:\\no such folder\\temp&& $(windows_path "$work/Установка.exe") /S" \
  >/dev/null 2>"$work/stderr.txt" || status=$?
[ "$status" -eq 3 ] || fail "an unwritable temporary folder ended with $status, expected 3"
grep -q "Не удалось распаковать" "$work/stderr.txt" || fail "no reason on stderr: $(cat "$work/stderr.txt")"
[ ! -e "$install_unix" ] || fail "something was installed"
echo "single_file: passed"
