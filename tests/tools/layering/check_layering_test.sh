#!/usr/bin/env bash
# The layering check passes on the tree as it is and fails on each kind of include
# that points up or across the layers, naming the offending line.
set -euo pipefail
here=$(cd "$(dirname "$0")/../../.." && pwd)
check="$here/tools/check-layering.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp -r "$here/src" "$work/src"

failures=0
expect() {
  local want=$1 description=$2 file=$3 line=$4 output status=0
  local planted="$work/src/$file" kept="$work/kept"
  if [ -n "$file" ]; then
    mkdir -p "$(dirname "$planted")"
    rm -f "$kept"
    [ -e "$planted" ] && cp "$planted" "$kept"
    printf '%s\n' "$line" >>"$planted"
  fi
  output=$(bash "$check" "$work/src" 2>&1) || status=$?
  if [ -n "$file" ]; then  # the next case starts from the tree as it is
    if [ -e "$kept" ]; then mv "$kept" "$planted"; else rm -f "$planted"; fi
  fi
  if [ "$want" = pass ] && [ $status -ne 0 ]; then
    echo "FAIL: $description: the check refused the tree:"
    echo "$output"
    failures=$((failures + 1))
  elif [ "$want" = fail ] && { [ $status -eq 0 ] || [[ "$output" != *"$file"* ]]; }; then
    echo "FAIL: $description: the check did not refuse $file (status $status):"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "ok: $description"
  fi
}

expect pass "the tree as it is" "" ""
expect pass "an engine includes formats and support" designer/SortByExtension.cpp \
  '#include "formats/Payload.h"'
expect pass "a window of the setup program includes its engine and win" setup/ui/window_path.cpp \
  '#include "setup/PackageChecks.h"'
expect fail "support includes formats" support/Strings.cpp '#include "formats/ScriptKeys.h"'
expect fail "formats includes an engine" formats/Payload.cpp '#include "designer/FileList.h"'
expect fail "win includes formats" win/Layout.cpp '#include "formats/Payload.h"'
expect fail "an engine includes win" setup/InstallEngine.cpp '#include "win/Dialogs.h"'
expect fail "an engine includes its own ui" designer/BuildRun.cpp \
  '#include "designer/ui/create_install.h"'
expect fail "one program's engine includes another's" uninstaller/UninstallEngine.cpp \
  '#include "setup/UninstallScript.h"'
expect fail "one program's window includes another's" designer/ui/page.cpp \
  '#include "setup/ui/setup01.h"'
expect fail "an engine includes a system window header" formats/ProjectFile.cpp \
  '#include <CommCtrl.h>'
expect fail "a program includes another program's engine" sfx/main.cpp \
  '#include "designer/BuildRun.h"'
expect fail "a folder the order does not name" extras/Helper.cpp '#include "support/Strings.h"'

if [ $failures -ne 0 ]; then
  echo "layering check test: $failures failed"
  exit 1
fi
echo "layering check test: passed"
