#!/usr/bin/env bash
# End to end, the one-program package as an author and a user meet it: the
# one-file sample project built with "Kovrin.exe /build" into a fresh folder,
# which then holds the one program only; the program started, unpacked,
# installed through its window and removed again through the uninstaller it
# registered; the unpacked folder gone afterwards. Then a copy with one flipped
# byte: the damaged-file message and nothing installed.
set -euo pipefail
started=$SECONDS
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

setup_title="Установка программы"
user=$(id -un)
install_win='C:\Program Files\Morvel Labs\Kovrin Demo'
install_unix="$drive_c/Program Files/Morvel Labs/Kovrin Demo"
desktop_link="$drive_c/users/$user/Desktop/Kovrin Demo.lnk"
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovrin Demo'
demo_files=(demo.cmd settings.ini lib/helper.txt manual.txt changes.txt)
demo_sources=(app/demo.cmd app/settings.ini app/lib/helper.txt docs/manual.txt docs/changes.txt)
unpacked() { compgen -G "$drive_c/users/*/Temp/KovrinSetup-*" || true; }

# Never remove what this script did not make: refuse to start over leftovers.
for path in "$install_unix" "$desktop_link"; do
  [ ! -e "$path" ] || { echo "FAIL: $path exists already; remove it first" >&2; exit 1; }
done
! driver regget "$key" DisplayName >/dev/null || { echo "FAIL: HKLM\\$key exists already" >&2; exit 1; }
[ -z "$(unpacked)" ] || { echo "FAIL: unpacked folders of an earlier run: $(unpacked)" >&2; exit 1; }

work=$(mktemp -d)
out="$work/Один файл"
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The script started with no unpacked folder: any left now is this run's,
  # from a program stopped half way. Ended for good first, it holds none open.
  if [ -n "$(unpacked)" ]; then
    wineserver -k 2>/dev/null || true
    while IFS= read -r folder; do rm -rf "$folder"; done < <(unpacked)
  fi
  rm -rf "$work" "$install_unix" "$desktop_link"
  rmdir "$drive_c/Program Files/Morvel Labs" 2>/dev/null || true
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || echo "onefile_demo: FAIL" >&2
}
trap cleanup EXIT

# The sample, checked out anywhere, built from the command line.
cp -r "$here/examples/demo" "$work/demo"
status=0
wine_run "$build/dist/Kovrin.exe" /build "$(windows_path "$work/demo/demo-onefile.kovrin")" \
  /out "$(windows_path "$out")" >"$work/build.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the build ended with $status: $(tr -d '\r' <"$work/build.txt")"
listing=$(cd "$out" && LC_ALL=C ls | tr '\n' ' ')
[ "$listing" = "Setup.exe " ] || fail "the output folder holds [$listing], not the one program"
head -c "$(stat -c %s "$build/dist/sfx.dat")" "$out/Setup.exe" | cmp -s - "$build/dist/sfx.dat" ||
  fail "the program does not start with the self-extractor"

# Started as a person would: unpacked into a folder of its own, the setup window.
wine_run "$out/Setup.exe" & pids+=($!)
driver wait "$setup_title" 60000 || fail "the setup window did not open"
[ -n "$(unpacked)" ] || fail "no unpacked folder while the setup program runs"
driver click "$setup_title" "Установить" || fail "no install button"
driver waitbutton "$setup_title" "Готово" 120000 || fail "the install did not finish"
driver check "$setup_title" "Запустить установленную программу" 0 || fail "no run-program box"
driver click "$setup_title" "Готово" || fail "no finish button"
wait "${pids[-1]}" || fail "the one program ended with $?"
[ -z "$(unpacked)" ] || fail "the unpacked folder was left: $(unpacked)"
for i in "${!demo_files[@]}"; do
  cmp -s "$work/demo/files/${demo_sources[$i]}" "$install_unix/${demo_files[$i]}" ||
    fail "the installed ${demo_files[$i]} differs"
done

# Removed as Windows would remove it.
command_line=$(driver regget "$key" UninstallString) || fail "the uninstall entry is missing"
uninstall_confirmed "$command_line"
[ ! -e "$install_unix" ] || fail "files are left after the uninstall: $(ls -R "$install_unix")"
! driver regget "$key" DisplayName >/dev/null || fail "the uninstall entry is left"

# One flipped byte in the middle of the program: refused, nothing installed.
python3 - "$out/Setup.exe" "$work/damaged.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[len(data) * 3 // 4] ^= 0x10
open(sys.argv[2], 'wb').write(data)
PY
wine_run "$work/damaged.exe" & pids+=($!)
message=$(driver msgbox "Распаковка установки" ok 60000) || fail "no message for the damaged file"
[ "$message" = "text: Установочный файл повреждён" ] || fail "the message was [$message]"
status=0
wait "${pids[-1]}" || status=$?
[ "$status" -eq 2 ] || fail "the damaged program ended with $status, expected 2"
[ ! -e "$install_unix" ] || fail "something was installed from the damaged program"
[ -z "$(unpacked)" ] || fail "the damaged program left an unpacked folder: $(unpacked)"

echo "onefile_demo: PASS ($((SECONDS - started)) s)"
