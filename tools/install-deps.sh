#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for the cross build and the Wine test run.
# Idempotent: returns at once when everything is present.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686 mingw-w64-i686-dev)
command -v cmake >/dev/null || need+=(cmake)
command -v wine >/dev/null || need+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v import >/dev/null && import -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -d /usr/share/wine/fonts ] || need+=(fonts-wine)
command -v localedef >/dev/null || need+=(locales)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${need[*]}); run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
