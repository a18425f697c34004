#!/usr/bin/env bash
# Every shipped program imports only DLLs that Windows always loads from
# System32 (the KnownDLLs list), so a DLL of the same name planted beside the
# program, in a Downloads folder or in a temporary folder, is never loaded
# elevated. COMCTL32 is allowed to a program whose manifest selects the
# side-by-side common controls, which the loader takes from the system's store.
# Usage: check-imports.sh <objdump> <program>...
set -euo pipefail
objdump=$1
shift
known=" advapi32 comdlg32 gdi32 imagehlp kernel32 ole32 oleaut32 psapi rpcrt4 setupapi shell32 shlwapi user32 ws2_32 wldap32 msvcrt normaliz nsi difxapi clbcatq combase "
status=0
for program in "$@"; do
  imports=$("$objdump" -p "$program" | awk '/DLL Name:/ { print tolower($3) }')
  [ -n "$imports" ] || { echo "$program: no import directory read" >&2; status=1; continue; }
  for dll in $imports; do
    base=${dll%.dll}
    [[ $known == *" $base "* ]] && continue
    if [ "$base" = comctl32 ] && grep -aq 'Microsoft.Windows.Common-Controls' "$program"; then
      continue
    fi
    echo "$program imports $dll, which is not a known system DLL" >&2
    status=1
  done
done
exit "$status"
