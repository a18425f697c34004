#!/usr/bin/env bash
# Creates (once) and starts the Wine prefix of a build.
#   wine-prefix.sh headless BUILD   null display driver, for tests
#   wine-prefix.sh desktop BUILD    X display with one virtual desktop, for screenshots
# The build's wine-env.sh gives the prefix (BUILD/wine-prefix unless WINEPREFIX is
# set) and its width.
# Keeps a persistent wineserver running; stop it with: WINEPREFIX=... wineserver -k
# Every failure says what failed and what to do; nothing fails silently.
set -euo pipefail
mode=${1:?usage: wine-prefix.sh headless|desktop BUILD}
build=${2:?usage: wine-prefix.sh headless|desktop BUILD}
if [ ! -f "$build/wine-env.sh" ]; then
  echo "wine-prefix: $build/wine-env.sh is missing; configure the build first (tools/test.sh does)." >&2
  exit 1
fi
source "$build/wine-env.sh"

log=$(mktemp "${TMPDIR:-/tmp}/kovrin-wine-prefix.XXXXXX.log")
trap 'rm -f "$log"' EXIT
die() {
  echo "wine-prefix: $1" >&2
  if [ -s "$log" ]; then
    echo "wine-prefix: Wine said:" >&2
    tail -n 15 "$log" >&2
  fi
  echo "wine-prefix: $2" >&2
  exit 1
}
quietly() { timeout "${KOVRIN_WINE_TIMEOUT:-300}" "$@" >>"$log" 2>&1 </dev/null; }

# A prefix of the other width cannot be reused.
if [ -f "$WINEPREFIX/system.reg" ]; then
  case "$WINEARCH:$(grep -m1 '^#arch=' "$WINEPREFIX/system.reg" || true)" in
    win32:\#arch=win64|win64:\#arch=win32)
      die "$WINEPREFIX was made for the other width ($WINEARCH wanted)." "Remove it (rm -rf '$WINEPREFIX') and run again." ;;
  esac
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-prefix: creating the $WINEARCH prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  quietly wine wineboot --init ||
    die "could not create the $WINEARCH prefix $WINEPREFIX." \
        "Check that Wine works ('wine --version'; run tools/install-deps.sh as root), remove the half-made prefix and run again."
  quietly wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ] ||
    die "wineboot ended but $WINEPREFIX has no registry." "Remove the folder and run again."
  # A crash must end the program, not wait for a dialog that no one sees.
  quietly wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f ||
    die "could not switch off the crash dialog in $WINEPREFIX." "Remove the prefix and run again."
fi

if [ "$mode" = headless ]; then
  quietly wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f ||
    die "could not set the null display driver in $WINEPREFIX." "Remove the prefix and run again."
  quietly wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f || true
else
  # Wine's own fonts give the title bars their button glyphs; the programs' UI
  # fonts ask for the Cyrillic character set, so Russian text renders either way.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  quietly wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f || true
  quietly wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
    quietly wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f ||
    die "could not set the virtual desktop in $WINEPREFIX." "Remove the prefix and run again."
fi

# The display driver is chosen when the desktop process starts: restart the server.
quietly wineserver -k || true
quietly wineserver -w || true
wineserver -p >/dev/null 2>&1 </dev/null ||
  die "could not start a persistent wineserver for $WINEPREFIX." "Check 'wineserver --version' and run again."
quietly wine wineboot ||
  die "Wine could not start programs in $WINEPREFIX." "Remove the prefix (rm -rf '$WINEPREFIX') and run again."

# Window tests wait minutes for a display that is not there unless the null driver
# is in force: check it before any test starts.
if [ "$mode" = headless ]; then
  driver=$(timeout 60 wine reg query 'HKCU\Software\Wine\Drivers' /v Graphics 2>>"$log" </dev/null | tr -d '\r' || true)
  echo "$driver" | grep -qE 'Graphics[[:space:]]+REG_SZ[[:space:]]+null$' ||
    die "the null display driver is not in force in $WINEPREFIX (read back: '${driver//$'\n'/ }')." \
        "Remove the prefix (rm -rf '$WINEPREFIX') and run again."
fi
