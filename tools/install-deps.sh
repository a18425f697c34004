#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for the cross builds and the Wine test
# run. Idempotent: returns at once when everything is present.
#
# The 32-bit (i686) build is always made: it is the distribution. Where this machine
# cannot start 32-bit programs (or KOVRIN_TEST_ARCH=x86_64), the tests run on an
# x86_64 build under 64-bit Wine, so its compiler and wine64 are installed too.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tools/lib/arch.sh"
kovrin_choose_test_arch

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix mingw-w64-i686-dev)
# The shipped programs: the win32 thread model, without the POSIX threads library.
command -v i686-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-i686-win32)
command -v cmake >/dev/null || need+=(cmake)
command -v wine >/dev/null || need+=(wine)
if [ "$kovrin_test_arch" = i686 ]; then
  dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
else
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
  [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
fi
command -v Xvfb >/dev/null || need+=(xvfb)
command -v import >/dev/null && import -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/include/lzma/LzmaEnc.c ] || need+=(lzma-dev)   # LZMA SDK C sources: packer and self-extractor
command -v xz >/dev/null || need+=(xz-utils)                 # the reference of the branch filter's test
[ -d /usr/share/wine/fonts ] || need+=(fonts-wine)
command -v localedef >/dev/null || need+=(locales)
command -v iconv >/dev/null || need+=(libc-bin)
command -v clang-format >/dev/null || need+=(clang-format)
command -v osslsigncode >/dev/null || need+=(osslsigncode)   # signing step in the end-to-end tests
command -v openssl >/dev/null || need+=(openssl)             # their test certificate

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing: ${need[*]}" >&2
  echo "install-deps: run this script as root (or install them with apt-get) and try again." >&2
  exit 1
fi

log=$(mktemp "${TMPDIR:-/tmp}/kovrin-install-deps.XXXXXX.log")
fail() {
  echo "install-deps: $1 failed; the last lines of its output ($log):" >&2
  tail -n 15 "$log" >&2
  echo "install-deps: check the network and the apt sources, then run this script again." >&2
  exit 1
}
export DEBIAN_FRONTEND=noninteractive
if printf '%s\n' "${need[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386 >>"$log" 2>&1 || fail "dpkg --add-architecture i386"
fi
echo "install-deps: installing ${need[*]}"
# A mirror in the middle of a sync serves an index of the wrong size for a
# while: try again after a pause, and if one index still fails, install from
# the ones that were fetched. Only the install's own failure is fatal.
updated=false
for pause in 10 30 60; do
  if apt-get update -qq >>"$log" 2>&1; then updated=true; break; fi
  echo "install-deps: apt-get update failed, trying again in ${pause} s" >&2
  sleep "$pause"
done
$updated || echo "install-deps: apt-get update still fails; installing from the indexes it has" >&2
apt-get install -y -qq --no-install-recommends "${need[@]}" >>"$log" 2>&1 || fail "apt-get install ${need[*]}"
rm -f "$log"
