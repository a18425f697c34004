# Sourced: the Wine settings of one build. Needs KOVRIN_ARCH (i686, the default,
# or x86_64) and WINEPREFIX; never falls back to ~/.wine.
kovrin_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${KOVRIN_ARCH:=i686}"
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-env: WINEPREFIX is not set; refusing to use ~/.wine" >&2
  return 1 2>/dev/null || exit 1
fi
export WINEPREFIX KOVRIN_ARCH
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
case "$KOVRIN_ARCH" in
  x86_64)
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    case ":$PATH:" in *":$kovrin_tools/wine64-bin:"*) ;; *) PATH="$kovrin_tools/wine64-bin:$PATH" ;; esac
    export PATH ;;
  *)
    export WINEARCH=win32 ;;
esac
