#!/usr/bin/env bash
# Creates (once) and starts the project's Wine prefix.
#   wine-prefix.sh headless   null display driver, for tests
#   wine-prefix.sh desktop    X display with one virtual desktop, for screenshots
# Keeps a persistent wineserver running; stop it with: WINEPREFIX=... wineserver -k
set -euo pipefail
mode=${1:-headless}
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/wine-prefix}"; export WINEPREFIX
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot --init >/dev/null 2>&1 </dev/null
  wineserver -w
  # A crash must end the program, not wait for a dialog that no one sees.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
fi

if [ "$mode" = headless ]; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
  wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
else
  # Wine's own fonts give the title bars their button glyphs; the programs' UI
  # fonts ask for the Cyrillic character set, so Russian text renders either way.
  cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
fi
# The display driver is chosen when the desktop process starts: restart the server.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null || true
