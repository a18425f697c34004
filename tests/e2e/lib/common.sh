# Shared by the end-to-end scripts (sourced, not run): the build folder, the Wine
# prefix, the window driver, screenshots on request and the failure report.
# Each script sets `here` (the worktree) and its own `cleanup` trap.
# KOVRIN_BUILD names the build under test (build/, or build/x86_64 where this
# machine cannot start 32-bit programs); its wine-env.sh gives Wine's settings.
build=$here/${KOVRIN_BUILD:-build}
source "$build/wine-env.sh"
export LANG=C.UTF-8   # Cyrillic arguments reach Wine intact
drive_c=$WINEPREFIX/drive_c
# A persistent server: one started by a driver call would hold its output open.
wineserver -p >/dev/null 2>&1 </dev/null || true

wine_run() { wine "$@"; }
driver() { timeout 120 wine "$build/bin/driver.exe" "$@" | tr -d '\r'; }

# KOVRIN_SHOTS=<folder> (with DISPLAY set) keeps screenshots of the main steps.
shot() { if [ -n "${KOVRIN_SHOTS:-}" ]; then sleep 0.7; import -window root "$KOVRIN_SHOTS/$1.png"; fi; }
fail() { echo "FAIL: $*" >&2; driver dump >&2 || true; exit 1; }

# A Unix path as a Windows program sees it through drive Z:.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# The value of a key in a section of a Windows-1251 INI file (CR LF lines).
ini_value() {
  iconv -f CP1251 -t UTF-8 "$1" | tr -d '\r' |
    awk -v section="[$2]" -v key="$3" '
      /^\[/ { inside = ($0 == section); next }
      inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); found = 1; exit }
      END { exit !found }'
}

# Runs an uninstall command line as Windows would, says yes to the question and
# takes the report; fails unless the uninstaller ends with 0. The caller's
# `pids` array holds it meanwhile, so the caller's cleanup can stop it.
uninstall_confirmed() {
  driver run "$1" & pids+=($!)
  driver msgbox "Удаление программы" yes >/dev/null || fail "no question from the uninstaller"
  driver msgbox "Удаление программы" ok >/dev/null || fail "no report from the uninstaller"
  wait "${pids[-1]}" || fail "the uninstaller ended with $?"
}
