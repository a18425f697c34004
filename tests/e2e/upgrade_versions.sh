#!/usr/bin/env bash
# End to end: two versions of one product built with Kovrin.exe /build (1.0 with
# keep.txt, old.txt and app.txt; 2.0 with keep.txt, new.txt and another app.txt),
# installed with /S. 2.0 over 1.0 in place leaves only 2.0's files, record and
# link; 2.0 into another folder removes 1.0 from its old one (a file the user
# changed stays, logged) and leaves one entry; 1.0 over 2.0 is refused with 6
# unless /ALLOWDOWNGRADE; a product of the same name with another ProductCode is
# refused with 7. Each quiet uninstall leaves no file, folder or key behind.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Ковёр версий $$"
code='{7A0C2E4B-5D1F-4B8A-9C3E-2F6D8B0A1C35}'
root_win='C:\Kovrin E2E версии'
root_unix="$drive_c/Kovrin E2E версии"
links_win="$root_win\\ярлыки"
links_unix="$root_unix/ярлыки"
first_win="$root_win\\$name"
first_unix="$root_unix/$name"
other_win="$root_win\\другая папка"
other_unix="$root_unix/другая папка"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
work=$(mktemp -d)
cleanup() {
  rm -rf "$work" "$root_unix"
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

# A project of `version` with `code`, its files in <checkout>/files, built into <checkout>/out.
build_version() {  # checkout, version, code, files..., then "--" and link names
  local checkout=$1 version=$2 product=$3 status=0 files=() links=() line
  shift 3
  while [ $# -gt 0 ] && [ "$1" != -- ]; do files+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  links=("$@")
  mkdir -p "$checkout/files"
  for file in "${files[@]}"; do printf '%s %s\r\n' "$file" "$version" >"$checkout/files/$file"; done
  {
    printf '%s\r\n' '[Project]' 'Format=1' '' '[Main]' "ProgramName=$name" 'CompanyName=Morvel Labs' \
      "ProductVersion=$version" "ProductCode=$product" "InstallPath=$first_win" \
      'SetupFileName=Setup.exe' "OutputFolder=$(windows_path "$checkout/out")" '' '[Files]' "Count=${#files[@]}" 'Folder=files'
    for file in "${files[@]}"; do printf 'File=%s\r\n' "$file"; done
    printf '%s\r\n' '' '[Compression]' 'UseWinRar=No' 'WinRarPath=' 'CompressionLevel=3' \
      'SortByExtension=No' 'UseBuiltInPacker=No' '' '[ReadMe]' 'Use=No' 'Type=txt' 'FontName=Arial' \
      'FontSize=10' 'FontColor=0' 'FontStyle=' 'RtfLines=0' 'TextLines=0' '' '[License]' 'Use=No' \
      'Type=txt' 'FontName=Arial' 'FontSize=10' 'FontColor=0' 'FontStyle=' 'RtfLines=0' 'TextLines=0' \
      '' '[Shortcuts]' "Count=${#links[@]}"
    for line in "${links[@]}"; do
      printf '%s\r\n' "ShortCutName=$line" "ShortCutSavePath=$links_win" \
        'ShortCutFileName=%InstallPath%\app.txt' 'ShortCutParams=' 'ShortCutFilePath=%InstallPath%'
    done
    printf '%s\r\n' '' '[Extended]' 'UseReboot=No' 'AskToReboot=No' 'UseRun=No' 'RunFileName=' \
      'UseGoSite=No' 'SiteAddress=' 'UseUninstall=Yes'
  } >"$checkout/product.kovrin"
  wine_run "$build/dist/Kovrin.exe" /build "$(windows_path "$checkout/product.kovrin")" \
    >"$work/build.txt" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "the build of $version ended with $status: $(tr -d '\r' <"$work/build.txt")"
}
build_version "$work/v1" 1.0 "$code" keep.txt old.txt app.txt -- 'Программа' 'Старый ярлык'
build_version "$work/v2" 2.0 "$code" keep.txt new.txt app.txt -- 'Программа'
build_version "$work/alien" 3.0 '{00000000-1111-2222-3333-444444444444}' keep.txt --

# Runs the setup program of a version with switches; prints its exit code.
setup() {  # checkout, switches...
  local checkout=$1 status=0
  shift
  driver runhidden 120000 "\"$(windows_path "$checkout/out/Setup.exe")\" /LOG=\"$(windows_path "$work/setup.log")\" $*" \
    2>"$work/stderr" || status=$?
  echo "$status"
}
installed() {  # checkout, switches...
  local status
  status=$(setup "$@")
  [ "$status" -eq 0 ] || fail "setup $* ended with $status: $(cat "$work/setup.log" "$work/stderr")"
}
value() { driver regget "$key" "$1" || fail "the uninstall entry lacks $1"; }
# The files the record lists, by name, sorted.
recorded() { iconv -f CP1251 -t UTF-8 "$1/Uninst.ini" | tr -d '\r' | grep -E '^File[0-9]+=.' | sed 's/.*\\//' | sort | tr '\n' ' '; }
same_as() {  # installed file, checkout
  cmp -s "$1" "$2/files/$(basename "$1")" || fail "$1 is not the file of $2"
}
# The quiet uninstall; nothing of the product may be left.
quiet_uninstall() {
  local status=0 quiet
  quiet=$(value QuietUninstallString)
  driver runhidden 60000 "$quiet /LOG=$(windows_path "$work/uninstall.log")" || status=$?
  [ "$status" -eq 0 ] || fail "the quiet uninstall ended with $status: $(cat "$work/uninstall.log")"
  driver regget "$key" DisplayName >/dev/null && fail "the uninstall key is left"
  [ -z "$(ls -A "$links_unix" 2>/dev/null)" ] || fail "links are left: $(ls "$links_unix")"
}

# 1.0, then 2.0 in place.
installed "$work/v1" /S
[ -f "$links_unix/Старый ярлык.lnk" ] || fail "1.0 made no link"
installed "$work/v2" /S
[ ! -e "$first_unix/old.txt" ] || fail "old.txt was orphaned"
same_as "$first_unix/app.txt" "$work/v2"
same_as "$first_unix/new.txt" "$work/v2"
same_as "$first_unix/keep.txt" "$work/v2"
[ "$(recorded "$first_unix")" = "app.txt keep.txt new.txt " ] || fail "the record lists $(recorded "$first_unix")"
[ "$(value DisplayVersion)" = 2.0 ] || fail "DisplayVersion is $(value DisplayVersion)"
[ "$(value ProductCode)" = "$code" ] || fail "ProductCode is $(value ProductCode)"
[ ! -e "$links_unix/Старый ярлык.lnk" ] || fail "1.0's link was left"
[ -f "$links_unix/Программа.lnk" ] || fail "2.0's link is missing"
quiet_uninstall
[ ! -e "$first_unix" ] || fail "the install folder is left: $(ls -R "$first_unix")"

# 1.0, then 2.0 into another folder: 1.0 goes from its folder but for the file the user changed.
installed "$work/v1" /S
printf 'my notes' >"$first_unix/old.txt"
installed "$work/v2" /S "/D=$other_win"
[ "$(ls -A "$first_unix")" = old.txt ] || fail "the old folder holds: $(ls -A "$first_unix")"
grep -q "Оставлен изменённый файл прежней версии: .*old.txt" "$work/setup.log" ||
  fail "the log does not name the changed file: $(cat "$work/setup.log")"
[ "$(value InstallLocation)" = "$other_win" ] || fail "InstallLocation is $(value InstallLocation)"
# One entry, the product's name, names the new record; no record is left in the old folder.
[ "$(value UninstallString)" = "C:\\windows\\MVUninst.exe \"$other_win\\Uninst.ini\" \"$name\"" ] ||
  fail "UninstallString is $(value UninstallString)"
quiet_uninstall
[ ! -e "$other_unix" ] || fail "the new folder is left: $(ls -R "$other_unix")"
rm -rf "$first_unix"

# 2.0, then 1.0: refused with 6 and 2.0 intact; /ALLOWDOWNGRADE lets it through.
installed "$work/v2" /S
record_before=$(sha256sum <"$first_unix/Uninst.ini")
status=$(setup "$work/v1" /S)
[ "$status" -eq 6 ] || fail "the downgrade ended with $status, not 6"
grep -q "Итог: код 6" "$work/setup.log" || fail "the log lacks code 6: $(cat "$work/setup.log")"
for file in keep.txt new.txt app.txt; do same_as "$first_unix/$file" "$work/v2"; done
[ ! -e "$first_unix/old.txt" ] || fail "the refused downgrade wrote old.txt"
[ "$(sha256sum <"$first_unix/Uninst.ini")" = "$record_before" ] || fail "the refused downgrade changed the record"
[ "$(value DisplayVersion)" = 2.0 ] || fail "DisplayVersion is $(value DisplayVersion) after the refusal"
installed "$work/v1" /S /ALLOWDOWNGRADE
same_as "$first_unix/app.txt" "$work/v1"
[ ! -e "$first_unix/new.txt" ] || fail "2.0's new.txt stayed after the downgrade"
[ "$(value DisplayVersion)" = 1.0 ] || fail "DisplayVersion is $(value DisplayVersion) after the downgrade"

# Another product that bears the name: refused with 7, 1.0 untouched.
status=$(setup "$work/alien" /S)
[ "$status" -eq 7 ] || fail "another product's package ended with $status, not 7"
grep -q "другая программа" "$work/stderr" || fail "standard error lacks the reason: $(cat "$work/stderr")"
same_as "$first_unix/keep.txt" "$work/v1"
[ "$(value ProductCode)" = "$code" ] || fail "the entry's ProductCode changed"
quiet_uninstall
[ ! -e "$first_unix" ] || fail "the install folder is left: $(ls -R "$first_unix")"
echo "upgrade_versions: passed"
