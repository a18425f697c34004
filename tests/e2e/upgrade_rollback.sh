#!/usr/bin/env bash
# End to end, an upgrade that must change nothing when it cannot finish. Two
# versions of one product are built with `Kovrin.exe /build` (1.0: keep.txt,
# old.txt, app.txt; 2.0: keep.txt, new.txt and a changed app.txt) and 1.0 is
# installed with /S. Then, each time checked against 1.0 byte for byte (every
# file, the record, every value of the uninstall entry):
# - 2.0 whose last file fails its checksum is refused with 2;
# - 2.0 while another program holds app.txt open ends with 5;
# - the same with /REBOOTOK ends with 3010, the new app.txt waiting beside the
#   old one and its rename listed in PendingFileRenameOperations;
# Wine's restart (wineboot -r) then puts 2.0's app.txt in place. The uninstaller
# with /S /REBOOTOK removes what it can, leaves a held file to the restart and
# ends with 3010; the next restart removes it.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
cd "$here"
source "$here/tests/e2e/lib/common.sh"

kovrin="$build/dist/Kovrin.exe"
name="Kovrin upgrade $$"
install_win='C:\Kovrin E2E обновление\Продукт'
install_unix="$drive_c/Kovrin E2E обновление/Продукт"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
session='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager'
work=$(mktemp -d)
pids=()
had_pending=0
wine_run reg query "$session" /v PendingFileRenameOperations >/dev/null 2>&1 && had_pending=1
cleanup() {
  local status=$?
  touch "$work/release" 2>/dev/null || true
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
  rm -rf "$work" "$drive_c/Kovrin E2E обновление"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
  # The renames this script scheduled must not reach a later restart of the prefix.
  [ "$had_pending" -eq 1 ] || wine_run reg delete "$session" /v PendingFileRenameOperations /f >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || echo "upgrade_rollback: FAIL" >&2
}
trap cleanup EXIT

# A project of `version` whose files lie in $work/src-<version>.
write_project() {
  local version=$1; shift
  local files=("$@")
  {
    printf '%s\n' '[Project]' 'Format=1' '' '[Main]' "ProgramName=$name" 'CompanyName=Kovrin E2E' \
      "ProductVersion=$version" "InstallPath=$install_win" 'SetupFileName=Setup.exe' \
      "OutputFolder=$(windows_path "$work/out-$version")" '' '[Files]' "Count=${#files[@]}" \
      "Folder=$(windows_path "$work/src-$version")"
    for file in "${files[@]}"; do printf 'File=%s\n' "$file"; done
    printf '%s\n' '' '[Compression]' 'UseWinRar=No' 'WinRarPath=' 'CompressionLevel=3' \
      'SortByExtension=No' 'UseBuiltInPacker=No'
    for section in ReadMe License; do
      printf '%s\n' '' "[$section]" 'Use=No' 'Type=txt' 'FontName=Arial' 'FontSize=10' 'FontColor=0' \
        'FontStyle=' 'RtfLines=0' 'TextLines=0'
    done
    printf '%s\n' '' '[Shortcuts]' 'Count=0' '' '[Extended]' 'UseReboot=No' 'AskToReboot=No' 'UseRun=No' \
      'RunFileName=' 'UseGoSite=No' 'SiteAddress=' 'UseUninstall=Yes'
  } >"$work/v$version.kovrin"
  local code=0
  timeout 120 wine "$kovrin" /build "$(windows_path "$work/v$version.kovrin")" \
    /out "$(windows_path "$work/out-$version")" >"$work/build.txt" 2>&1 || code=$?
  [ "$code" -eq 0 ] || fail "building $version ended with $code: $(tr -d '\r' <"$work/build.txt")"
  cp "$build/dist/uninst.dat" "$work/out-$version/uninst.dat" 2>/dev/null || true
}

# Installs the package in out-<version> with the switches; $code and $log hold the outcome.
install() {
  local version=$1; shift
  log="$work/setup-$version-$RANDOM.log"
  code=0
  driver runhidden 120000 "\"$(windows_path "$work/out-$version/Setup.exe")\" /S /LOG=\"$(windows_path "$log")\" $*" \
    >/dev/null || code=$?
}
# The log's result line names the whole exit code (a Unix status keeps only its low byte).
expect_result() {
  local wanted=$1 what=$2
  [ "$code" -eq $((wanted % 256)) ] || fail "$what ended with $code: $(cat "$log" 2>/dev/null)"
  grep -q "Итог: код $wanted," "$log" || fail "$what: no result $wanted in the log: $(cat "$log")"
}
# 1.0 as installed: every file with its checksum (the record included) and the entry's values.
state() {
  (cd "$install_unix" && find . -type f -exec sha256sum {} + | sort)
  wine_run reg query "HKLM\\$key" | tr -d '\r' | sort
}
expect_first_version() {
  diff <(echo "$installed") <(state) >&2 || fail "$1: version 1.0 was changed"
}

mkdir -p "$work/src-1.0" "$work/src-2.0"
printf 'kept as it is\r\n' >"$work/src-1.0/keep.txt"
printf 'only in 1.0\r\n' >"$work/src-1.0/old.txt"
printf 'application 1.0\r\n' >"$work/src-1.0/app.txt"
cp "$work/src-1.0/keep.txt" "$work/src-2.0/keep.txt"
printf 'new in 2.0\r\n' >"$work/src-2.0/new.txt"
head -c 300000 /dev/urandom >"$work/src-2.0/app.txt"
write_project 1.0 keep.txt old.txt app.txt
write_project 2.0 keep.txt new.txt app.txt

install 1.0
expect_result 0 "installing 1.0"
installed=$(state)
grep -q 'DisplayVersion.*1\.0' <<<"$installed" || fail "no DisplayVersion 1.0: $installed"

# The last file of 2.0 fails its checksum.
cp "$work/out-2.0/data.dat" "$work/data.dat"
printf '\xff' | dd of="$work/out-2.0/data.dat" bs=1 seek=$(($(stat -c %s "$work/data.dat") - 1)) conv=notrunc status=none
cmp -s "$work/data.dat" "$work/out-2.0/data.dat" && printf '\x00' | dd of="$work/out-2.0/data.dat" bs=1 \
  seek=$(($(stat -c %s "$work/data.dat") - 1)) conv=notrunc status=none
install 2.0
expect_result 2 "2.0 with a damaged app.txt"
grep -q 'app.txt' "$log" || fail "the refusal does not name app.txt: $(cat "$log")"
expect_first_version "a checksum that fails"
cp "$work/data.dat" "$work/out-2.0/data.dat"

# app.txt held open by another program.
hold() {
  rm -f "$work/release" "$work/release.held"
  wine "$build/bin/driver.exe" hold "$(windows_path "$install_unix/${1:-app.txt}")" \
    "$(windows_path "$work/release")" 120000 >/dev/null & pids+=($!)
  for _ in $(seq 200); do [ -e "$work/release.held" ] && return 0; sleep 0.1; done
  fail "the holder did not open app.txt"
}
release() { touch "$work/release"; wait "${pids[-1]}" || fail "the holder ended with $?"; }

hold
install 2.0
expect_result 5 "2.0 over a held app.txt"
grep -q 'app.txt» занят' "$log" || fail "the log does not name the held file: $(cat "$log")"
expect_first_version "a file in use"

install 2.0 /REBOOTOK
expect_result 3010 "2.0 /REBOOTOK over a held app.txt"
cmp "$work/src-1.0/app.txt" "$install_unix/app.txt" || fail "the held app.txt was replaced at once"
cmp "$work/src-2.0/new.txt" "$install_unix/new.txt" || fail "new.txt was not installed"
staged=$(ls "$install_unix" | grep '^app\.txt\..*kovrin-tmp$' || true)
[ -n "$staged" ] || fail "no new app.txt waiting beside the held one: $(ls "$install_unix")"
cmp "$work/src-2.0/app.txt" "$install_unix/$staged" || fail "the waiting app.txt is not 2.0's"
pending=$(wine_run reg query "$session" /v PendingFileRenameOperations | tr -d '\r')
# reg prints the Cyrillic folder names as question marks: the pattern skips them.
folder_pattern='\\\?\?\\C:\\Kovrin E2E [^\\]*\\[^\\]*\\'
separator='\\0'
grep -qP "${folder_pattern}\Q$staged\E${separator}!${folder_pattern}app\.txt(${separator}|\$)" <<<"$pending" ||
  fail "no pending rename of $staged over app.txt: $pending"
grep -q 'DisplayVersion.*2\.0' <(wine_run reg query "HKLM\\$key" | tr -d '\r') || fail "DisplayVersion is not 2.0"
release

# Wine's restart carries out the pending renames: 2.0's app.txt is in place.
timeout 120 wine wineboot -r >/dev/null 2>&1 || fail "wineboot -r failed"
cmp "$work/src-2.0/app.txt" "$install_unix/app.txt" || fail "the restart did not put 2.0's app.txt in place"
[ ! -e "$install_unix/$staged" ] || fail "$staged is still there after the restart"

# The uninstaller with /REBOOTOK: a held file goes at the restart.
hold keep.txt
uninstall=$(driver regget "$key" UninstallString)
uninstall_log="$work/uninstall.log"
code=0
driver runhidden 60000 "$uninstall /S /REBOOTOK /LOG=\"$(windows_path "$uninstall_log")\"" >/dev/null || code=$?
[ "$code" -eq $((3010 % 256)) ] || fail "the uninstall ended with $code: $(cat "$uninstall_log")"
grep -q 'Итог: код 3010' "$uninstall_log" || fail "no result 3010: $(cat "$uninstall_log")"
for file in new.txt app.txt Uninst.ini; do
  [ ! -e "$install_unix/$file" ] || fail "$file was not removed"
done
pending=$(wine_run reg query "$session" /v PendingFileRenameOperations | tr -d '\r')
grep -qP "${folder_pattern}keep\.txt${separator}(${separator}|\$)" <<<"$pending" ||
  fail "keep.txt is not to be removed at the restart: $pending"
! wine_run reg query "HKLM\\$key" >/dev/null 2>&1 || fail "the uninstall entry is still there"
release
timeout 120 wine wineboot -r >/dev/null 2>&1 || fail "wineboot -r failed"
[ ! -e "$install_unix/keep.txt" ] || fail "the restart did not remove keep.txt"
echo "upgrade_rollback: OK"
