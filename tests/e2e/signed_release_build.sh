#!/usr/bin/env bash
# End to end, a release pipeline: a project whose files come from a folder
# rule, built with "/set ProductVersion=2.3.1" and "/sign" running the Linux
# osslsigncode from Wine; osslsigncode verify accepts the single file, the
# package's setup program and the installed uninstaller; the signed single file
# installs with /S, its uninstall entry shows the version and every file of the
# folder but the excluded ones is installed. A file added to the folder is in
# the next build without any change to the project. Two more builds from two
# checkout folders are byte-identical, package files and single file alike.
set -euo pipefail
started=$SECONDS
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

name="Kovrin Release"
install_unix="$drive_c/Program Files/Morvel Labs/$name"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
uninstaller="$drive_c/windows/MVUninst.exe"

[ ! -e "$install_unix" ] || { echo "FAIL: $install_unix exists already; remove it first" >&2; exit 1; }
! driver regget "$key" DisplayName >/dev/null || { echo "FAIL: HKLM\\$key exists already" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if driver regget "$key" QuietUninstallString >/dev/null 2>&1; then
    driver runhidden 60000 "$(driver regget "$key" QuietUninstallString)" >/dev/null 2>&1 || true
  fi
  rm -rf "$work" "$install_unix"
  rmdir "$drive_c/Program Files/Morvel Labs" 2>/dev/null || true
  wine_run reg delete "HKLM\\$key" /f >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || echo "signed_release_build: FAIL" >&2
}
trap cleanup EXIT

# A throw-away certificate, and the signer Kovrin starts through "start /unix":
# it gets the quoted Windows path of the program as Wine's start passes it on
# (quotes kept, split at blanks) and replaces the file only once the signed
# copy is complete.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kovrin e2e" \
  -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 || fail "openssl made no certificate"
cat >"$work/sign.sh" <<EOF
#!/bin/sh
windows=\$(printf '%s ' "\$@" | sed 's/ \$//; s/"//g')
file=\$(winepath -u "\$windows" 2>/dev/null)
[ -f "\$file" ] || { echo "no such file: \$windows" >>"$work/sign.log"; exit 1; }
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -h sha256 -n "$name" \\
  -in "\$file" -out "\$file.signed" >>"$work/sign.log" 2>&1 && mv -f "\$file.signed" "\$file"
EOF
chmod +x "$work/sign.sh"
sign_command="start /unix $work/sign.sh {file}"
verify() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.txt" 2>&1 ||
    fail "osslsigncode refuses $2: $(cat "$work/verify.txt")"
}

# The author's checkout: a project with one single row and a rule over the build folder.
make_checkout() {
  local root=$1
  mkdir -p "$root/bin/lib/x86" "$root/bin/tests" "$root/docs"
  printf 'notes\r\n' >"$root/docs/readme.txt"
  printf 'program\r\n' >"$root/bin/app.cmd"
  printf 'symbols' >"$root/bin/app.pdb"
  printf 'library' >"$root/bin/lib/core.dll"
  printf 'native' >"$root/bin/lib/x86/native.dll"
  printf 'test' >"$root/bin/tests/unit.exe"
  printf '%s\r\n' '[Project]' 'Format=1' '' '[Main]' "ProgramName=$name" 'CompanyName=Morvel Labs' \
    'ProductVersion=0.0' "InstallPath=%ProgramFiles%\\%CompanyName%\\$name" 'SetupFileName=Setup.exe' \
    'OutputFolder=out' '' '[Files]' 'Count=1' 'Folder=docs' 'File=readme.txt' 'RuleCount=1' \
    'RuleFolder=bin' 'RuleExclude=*.pdb' 'RuleExclude=tests\*' 'RuleDestination=program' '' \
    '[Compression]' 'UseWinRar=No' 'WinRarPath=' 'CompressionLevel=3' 'SortByExtension=No' \
    'UseBuiltInPacker=Yes' '' '[ReadMe]' 'Use=No' 'Type=txt' 'FontName=Arial' 'FontSize=10' \
    'FontColor=0' 'FontStyle=' 'RtfLines=0' 'TextLines=0' '' '[License]' 'Use=No' 'Type=txt' \
    'FontName=Arial' 'FontSize=10' 'FontColor=0' 'FontStyle=' 'RtfLines=0' 'TextLines=0' '' \
    '[Shortcuts]' 'Count=0' '' '[Extended]' 'UseReboot=No' 'AskToReboot=No' 'UseRun=No' \
    'RunFileName=' 'UseGoSite=No' 'SiteAddress=' 'UseUninstall=Yes' >"$root/release.kovrin"
}
build_into() {  # checkout, output folder, further switches
  local root=$1 out=$2 status=0
  shift 2
  wine_run "$build/dist/Kovrin.exe" /build "$(windows_path "$root/release.kovrin")" \
    /out "$(windows_path "$out")" /set ProductVersion=2.3.1 "$@" >"$work/build.txt" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "the build ended with $status: $(tr -d '\r' <"$work/build.txt")"
}

make_checkout "$work/a"
project_before=$(sha256sum <"$work/a/release.kovrin")
# The package folder first (its setup program and uninstaller signed), then the single file.
sed -i 's/^UseBuiltInPacker=Yes/UseBuiltInPacker=No/' "$work/a/release.kovrin"
build_into "$work/a" "$work/folder" /sign "$sign_command"
verify "$work/folder/Setup.exe" "the package's setup program"
verify "$work/folder/uninst.dat" "the package's uninstaller"
sed -i 's/^UseBuiltInPacker=No/UseBuiltInPacker=Yes/' "$work/a/release.kovrin"
[ "$(sha256sum <"$work/a/release.kovrin")" = "$project_before" ] || fail "the build changed the project"
build_into "$work/a" "$work/single" /sign "$sign_command"
[ "$(cd "$work/single" && ls)" = "Setup.exe" ] || fail "the single-file output holds $(ls "$work/single")"
verify "$work/single/Setup.exe" "the single file"

installed_files() { (cd "$install_unix" && find . -type f ! -name 'Uninst*.ini' | sort | tr '\n' ' '); }
install_single() {
  local code=0
  driver runhidden 120000 "\"$(windows_path "$1")\" /S" 2>"$work/stderr" || code=$?
  [ "$code" -eq 0 ] || fail "the signed single file ended with $code: $(cat "$work/stderr")"
}
install_single "$work/single/Setup.exe"
[ "$(driver regget "$key" DisplayVersion)" = "2.3.1" ] || fail "DisplayVersion is not 2.3.1"
expected="./program/app.cmd ./program/lib/core.dll ./program/lib/x86/native.dll ./readme.txt "
[ "$(installed_files)" = "$expected" ] || fail "installed [$(installed_files)], expected [$expected]"
cmp -s "$work/a/bin/lib/x86/native.dll" "$install_unix/program/lib/x86/native.dll" || fail "native.dll differs"
verify "$uninstaller" "the installed uninstaller"

# A new file in the build folder: the project stays as it is, the package has it.
printf 'plugin' >"$work/a/bin/lib/plugin.dll"
build_into "$work/a" "$work/single2"
install_single "$work/single2/Setup.exe"
cmp -s "$work/a/bin/lib/plugin.dll" "$install_unix/program/lib/plugin.dll" ||
  fail "the file added to the folder was not installed"

# Two checkouts in other folders, built seconds apart without signing: the same bytes.
cp -r "$work/a" "$work/b"
build_into "$work/a" "$work/repro-a"
sleep 2
build_into "$work/b" "$work/repro-b"
diff -r "$work/repro-a" "$work/repro-b" >/dev/null || fail "two builds of the single file differ"
sed -i 's/^UseBuiltInPacker=Yes/UseBuiltInPacker=No/' "$work/a/release.kovrin" "$work/b/release.kovrin"
build_into "$work/a" "$work/repro-folder-a"
build_into "$work/b" "$work/repro-folder-b"
diff -r "$work/repro-folder-a" "$work/repro-folder-b" >/dev/null || fail "two package folders differ"

echo "signed_release_build: PASS ($((SECONDS - started)) s)"
