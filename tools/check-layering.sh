#!/usr/bin/env bash
# Every include of the project's own headers points down the layers that
# docs/architecture.md states:
#
#   support  <-  formats, win  <-  engines  <-  ui  <-  programs
#
# support    src/support                  includes only support
# formats    src/formats                  support, formats
# win        src/win                      support, win
# engines    src/designer, src/setup,     support, formats and their own folder; an engine
#            src/uninstaller, src/sfx     never includes another program's engine or win/
# ui         src/designer/ui, setup/ui    its own program's engine and ui, formats, support, win
# programs   <program>/main.cpp           its own program's ui and engine, formats, support, win
#
# Window headers of the system (commctrl.h, richedit.h, commdlg.h) belong to win, ui and
# programs only. Usage: check-layering.sh [SOURCE_ROOT] (default: the repository's src).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$here/src}
cd "$root"

programs='designer setup uninstaller sfx'
window_headers='commctrl.h richedit.h commdlg.h'

# Sets `allowed` to the folders a file of `folder` may include from.
allowed_for() {
  local file=$1 folder=$2 program=${2%%/*}
  case "$folder" in
    support) allowed="support" ;;
    formats) allowed="support formats" ;;
    win) allowed="support win" ;;
    */ui) allowed="support formats win $program $program/ui" ;;
    *)
      if [ "${file##*/}" = main.cpp ]; then
        allowed="support formats win $program $program/ui"
      else
        allowed="support formats $program"
      fi
      ;;
  esac
}

may_use_window_headers() {
  local file=$1 folder=$2
  case "$folder" in
    win | */ui) return 0 ;;
  esac
  [ "${file##*/}" = main.cpp ]
}

known_folder() {
  local folder=$1 program
  case "$folder" in
    support | formats | win) return 0 ;;
  esac
  for program in $programs; do
    if [ "$folder" = "$program" ] || [ "$folder" = "$program/ui" ]; then
      return 0
    fi
  done
  return 1
}

errors=()
include_line='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]+)[">]'
while IFS= read -r line; do
  [[ "$line" =~ $include_line ]] || continue
  file=${BASH_REMATCH[1]#./} number=${BASH_REMATCH[2]} header=${BASH_REMATCH[3]}
  folder=${file%/*}
  [ "$folder" = "$file" ] && folder=.
  if ! known_folder "$folder"; then
    errors+=("$file: a folder the layer order does not name")
  elif [[ "$header" == */* ]]; then
    from=${header%/*}
    [ -d "$from" ] || continue  # a library's own header (LzmaEnc.h and the like)
    allowed_for "$file" "$folder"
    [[ " $allowed " == *" $from "* ]] || errors+=("$file:$number includes $header")
  elif [[ " $window_headers " == *" ${header,,} "* ]] && ! may_use_window_headers "$file" "$folder"; then
    errors+=("$file:$number includes the window header $header")
  fi
done < <(grep -rnE '^\s*#\s*include\s*[<"]' --include='*.cpp' --include='*.h' --include='*.c' . | sort)

if [ ${#errors[@]} -gt 0 ]; then
  echo "Layering error: includes that point up or across the layers:" >&2
  printf '  %s\n' "${errors[@]}" >&2
  exit 1
fi
echo "Layering check passed."
