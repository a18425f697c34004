#!/usr/bin/env bash
# End to end, as an ordinary user on the same machine would attack an elevated
# install: a read-only license.dat planted in the setup program's text folder
# must not stop a silent install; a symbolic link planted in the install
# folder, pointing outside it, plus a row added to Uninst.ini that names a file
# through it (with that file's true size and checksum): the quiet uninstall
# keeps the file and the folder it lives in, and reports the row. A log named
# as a package file or a planted link is refused before it is opened.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Ковёр ссылки $$"
install_win="C:\\Kovrin E2E ссылки $$"
install_unix="$drive_c/Kovrin E2E ссылки $$"
victim_unix="$drive_c/kovrin-victim-$$"
texts_unix="$drive_c/users/$(id -un)/Temp/Kovrin_$name"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
work=$(mktemp -d)
package=$work/package
mkdir "$package"
cleanup() {
  chmod -R u+w "$texts_unix" 2>/dev/null || true
  rm -rf "$work" "$install_unix" "$victim_unix" "$texts_unix"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

head -c 70000 /dev/urandom >"$package/data.dat"
printf 'Лицензия ковра\r\n' | iconv -f UTF-8 -t CP1251 >"$package/Setup.dat"
license_size=$(stat -c %s "$package/Setup.dat")
printf '%s\r\n' \
  '[Main]' "InstallPath=$install_win" "ProgramName=$name" 'CompanyName=Ковёр' \
  'ProductVersion=1.0' 'UseReadMe=No' 'UseLicense=Yes' \
  '[License]' "Size=$license_size" 'Type=Text' \
  '[One_Data]' 'SummarySize=70000' 'CountOfFiles=1' \
  '[One_Files]' 'FileName1=bin\lib\prog.exe' 'FileSize1=70000' \
  '[One_ShortCuts]' 'CountOfShortCuts=0' \
  '[Extended]' 'UseReboot=0' 'AskToReboot=0' 'UseRun=0' 'UseGoSite=0' 'UseUninstall=1' \
  'RunFileName=' 'SiteAddress=' | iconv -f UTF-8 -t CP1251 >"$package/Setup.ini"
cp "$build/dist/Kovrin.dat" "$package/Setup.exe"
cp "$build/dist/uninst.dat" "$package/uninst.dat"
setup_win=$(windows_path "$package/Setup.exe")

# Another user's leftovers where the licence text goes: a read-only file.
mkdir -p "$texts_unix"
echo "planted" >"$texts_unix/license.dat"
chmod 444 "$texts_unix/license.dat"
code=0
driver runhidden 120000 "\"$setup_win\" /S /LOG=\"$(windows_path "$work/install.log")\"" \
  2>"$work/stderr" || code=$?
[ "$code" -eq 0 ] || fail "the silent install with a planted license.dat ended with $code: $(cat "$work/stderr")"
cmp "$package/data.dat" "$install_unix/bin/lib/prog.exe" || fail "bin\\lib\\prog.exe differs"
# The program's own copy of the licence goes when it ends, whatever folder it used.
for left in "$texts_unix"*/license.dat; do
  [ -e "$left" ] && cmp -s "$left" "$package/Setup.dat" && fail "the licence text is left in $left"
done

# The victim: someone else's file outside the install folder, reached through
# a link the ordinary user planted inside it.
mkdir "$victim_unix"
printf 'не ваше' >"$victim_unix/victim.txt"
ln -s "$victim_unix" "$install_unix/evil"
victim_size=$(stat -c %s "$victim_unix/victim.txt")
victim_crc=$(python3 -c 'import sys, zlib; print("%08X" % zlib.crc32(open(sys.argv[1], "rb").read()))' \
  "$victim_unix/victim.txt")
record=$install_unix/Uninst.ini
iconv -f CP1251 -t UTF-8 "$record" | tr -d '\r' >"$work/record.txt"
row="File6=$install_win\\evil\\victim.txt" size="FileSize6=$victim_size" crc="FileCrc6=$victim_crc" \
  awk '
  { print } $0 == "[Files]" { print ENVIRON["row"]; print ENVIRON["size"]; print ENVIRON["crc"] }' \
  "$work/record.txt" |
  sed 's/$/\r/' | iconv -f UTF-8 -t CP1251 >"$record"

quiet=$(driver regget "$key" QuietUninstallString) || fail "no QuietUninstallString"
code=0
driver runhidden 60000 "$quiet /LOG=$(windows_path "$work/uninstall.log")" 2>"$work/stderr" || code=$?
[ -f "$victim_unix/victim.txt" ] || fail "the uninstall deleted the file behind the planted link"
[ -d "$victim_unix" ] || fail "the uninstall deleted the folder behind the planted link"
[ "$code" -eq 5 ] || fail "the uninstall ended with $code, not 5 (something kept)"
[ ! -e "$install_unix/bin/lib/prog.exe" ] || fail "the installed file was not removed"
grep -qF "evil\\victim.txt" "$work/uninstall.log" || fail "the log does not report the row: $(cat "$work/uninstall.log")"
grep -qF "evil\\victim.txt" "$work/stderr" || fail "standard error does not report the row"
# A record too large to read: a reason and code 2, never a crash.
record_win="$install_win\\Uninst.ini"
truncate -s 5G "$record"
code=0
driver runhidden 60000 "C:\\windows\\MVUninst.exe \"$record_win\" \"$name\" /S" 2>"$work/stderr" || code=$?
[ "$code" -eq 2 ] || fail "a 5 GiB record ended the uninstaller with $code, not 2"
grep -q "Uninst.ini" "$work/stderr" || fail "standard error lacks the reason: $(cat "$work/stderr")"
# A reinstall into a folder whose bin\ was swapped for a link to elsewhere:
# nothing is written through it.
rm -rf "$install_unix"
mkdir "$install_unix"
printf 'не ваше' >"$victim_unix/prog.exe"
ln -s "$victim_unix" "$install_unix/bin"
code=0
driver runhidden 120000 "\"$setup_win\" /S" 2>"$work/stderr" || code=$?
[ "$(cat "$victim_unix/prog.exe")" = 'не ваше' ] || fail "the install wrote through the planted link"
[ ! -e "$victim_unix/lib" ] || fail "the install made a folder through the planted link"
[ "$code" -ne 0 ] || fail "the install through a planted link reported success"
grep -q "ссылка" "$work/stderr" || fail "standard error lacks the reason: $(cat "$work/stderr")"
# A log that would empty the package's own script or a file behind a link.
cp "$package/Setup.ini" "$work/script.copy"
printf 'не ваше' >"$victim_unix/other.log"
ln -s "$victim_unix/other.log" "$work/linked.log"
for log in "Setup.ini" "$(windows_path "$package/SETUP.INI")" "$(windows_path "$work/linked.log")"; do
  code=0
  (cd "$package" && driver runhidden 60000 "\"$setup_win\" /S /LOG=\"$log\"") 2>"$work/stderr" ||
    code=$?
  [ "$code" -eq 4 ] || fail "/LOG=$log ended with $code, not 4"
done
cmp -s "$package/Setup.ini" "$work/script.copy" || fail "a /LOG= switch overwrote Setup.ini"
[ "$(cat "$victim_unix/other.log")" = 'не ваше' ] || fail "the log wrote through a planted link"
echo "planted_links: passed"
