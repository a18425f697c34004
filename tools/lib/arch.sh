# Sourced by the tools: can this machine start 32-bit x86 programs, and which
# Windows build do the tests therefore run? Sets kovrin_test_arch (i686 or
# x86_64) and kovrin_test_arch_why (one plain sentence).
#
# KOVRIN_TEST_ARCH=x86_64 forces the 64-bit test path on any machine;
# KOVRIN_TEST_ARCH=i686 insists on the 32-bit one (an error where it cannot run).

# A real attempt: a 96-byte static i386 ELF program that exits with 42. Kernels
# without 32-bit support refuse it with "Exec format error" before it runs.
kovrin_runs_32bit() {
  local dir probe status
  dir=$(mktemp -d "${TMPDIR:-/tmp}/kovrin-probe.XXXXXX") || return 1
  probe=$dir/i386-exit42
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' >>"$probe"
  printf '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' >>"$probe"
  printf '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -rf "$dir"
  [ "$status" -eq 42 ]
}

kovrin_choose_test_arch() {
  case "${KOVRIN_TEST_ARCH:-}" in
    x86_64)
      kovrin_test_arch=x86_64
      kovrin_test_arch_why="KOVRIN_TEST_ARCH=x86_64 is set: testing the x86_64 build" ;;
    i686)
      if ! kovrin_runs_32bit; then
        echo "KOVRIN_TEST_ARCH=i686 is set, but this machine cannot run 32-bit programs." >&2
        echo "Unset it to test the x86_64 build here." >&2
        return 1
      fi
      kovrin_test_arch=i686
      kovrin_test_arch_why="KOVRIN_TEST_ARCH=i686 is set: testing the i686 build" ;;
    ''|auto)
      if kovrin_runs_32bit; then
        kovrin_test_arch=i686
        kovrin_test_arch_why="this machine runs 32-bit programs: testing the i686 build"
      else
        kovrin_test_arch=x86_64
        kovrin_test_arch_why="this machine cannot run 32-bit programs: testing the x86_64 build"
      fi ;;
    *)
      echo "KOVRIN_TEST_ARCH must be i686, x86_64 or auto, not '$KOVRIN_TEST_ARCH'." >&2
      return 1 ;;
  esac
}

# Runs tools/install-deps.sh. 32-bit Wine needs the i386 archive indexes, which
# a mirror in the middle of a sync can fail to serve; when it cannot be
# installed and no path was asked for, the tests and the designer take the
# x86_64 path, which needs none of them (exported, so that the scripts started
# from here choose it too).
kovrin_install_deps() {
  local tools
  tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  bash "$tools/install-deps.sh" && return 0
  if [ "$kovrin_test_arch" = i686 ] && [ "${KOVRIN_TEST_ARCH:-auto}" = auto ] &&
    ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    echo "== 32-bit Wine could not be installed: taking the x86_64 path instead"
    export KOVRIN_TEST_ARCH=x86_64
    kovrin_choose_test_arch
    bash "$tools/install-deps.sh"
  else
    return 1
  fi
}

# The build folder of an architecture, relative to the worktree. The 32-bit build
# is the distribution build and lives in build/.
kovrin_build_dir() {
  if [ "$1" = x86_64 ]; then echo build/x86_64; else echo build; fi
}

kovrin_toolchain() {
  echo "cmake/toolchain-$1-mingw.cmake"
}

# Configures and builds one architecture into its build folder; extra arguments
# go to `cmake --build` (such as --target). Says what failed and what to do.
kovrin_build() {
  local arch=$1 dir=$2 log; shift 2
  log=$(mktemp "${TMPDIR:-/tmp}/kovrin-configure.XXXXXX.log")
  if ! cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$(kovrin_toolchain "$arch")" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "Configuring the $arch build in $dir failed (output above)." >&2
    echo "Check that the $arch MinGW-w64 compiler is installed (run tools/install-deps.sh as root)." >&2
    return 1
  fi
  rm -f "$log"
  if ! cmake --build "$dir" -j"$(nproc)" "$@"; then
    echo "Building the $arch programs in $dir failed (compiler output above)." >&2
    return 1
  fi
}
