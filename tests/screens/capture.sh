#!/usr/bin/env bash
# Screenshots of every state a person sees, for a side-by-side look at two builds:
# the designer's seven pages (empty, with the example and with the demo project),
# the shortcut editor, the build's closing message, and the setup program's pages, its finished state
# and its refusal of an install folder that is no full path.
#
#   tests/screens/capture.sh BUILD OUTDIR     shots of BUILD's programs into OUTDIR
#   tests/screens/capture.sh --compare A B    pixel comparison of two such folders
#
# BUILD is a build folder (dist/, bin/driver.exe, wine-env.sh). Each capture runs on
# a fresh Wine prefix with one virtual desktop on its own Xvfb display, so two builds
# are shot alike. The install-path page is shot with a drive that does not exist:
# the free space of a real drive changes from one minute to the next.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)

if [ "${1:-}" = --compare ]; then
  before=${2:?usage: capture.sh --compare BEFORE AFTER}
  after=${3:?usage: capture.sh --compare BEFORE AFTER}
  differing=0
  compared=0
  for shot in "$before"/*.png; do
    name=$(basename "$shot")
    if [ ! -f "$after/$name" ]; then
      echo "missing in $after: $name"
      differing=$((differing + 1))
      continue
    fi
    pixels=$(compare -metric AE "$shot" "$after/$name" null: 2>&1 || true)
    compared=$((compared + 1))
    if [ "$pixels" = 0 ]; then
      echo "same: $name"
    else
      echo "DIFFERENT: $name ($pixels pixels)"
      differing=$((differing + 1))
    fi
  done
  echo "$((compared - differing < 0 ? 0 : compared - differing)) same, $differing different"
  [ "$differing" -eq 0 ]
  exit
fi

build=$(cd "${1:?usage: capture.sh BUILD OUTDIR}" && pwd)
out=${2:?usage: capture.sh BUILD OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
display=${KOVRIN_SHOTS_DISPLAY:-:93}

# A fixed folder: the designer shows the example's file paths, which name it.
work=${TMPDIR:-/tmp}/kovrin-screens
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix
source "$build/wine-env.sh"
export LANG=C.UTF-8
pids=()
xvfb=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
kill -0 "$xvfb" 2>/dev/null || { echo "capture: Xvfb could not start on $display" >&2; exit 1; }
bash "$here/tools/wine-prefix.sh" desktop "$build" >/dev/null

driver() { timeout 120 wine "$build/bin/driver.exe" "$@" | tr -d '\r'; }
fail() { echo "capture: $*" >&2; exit 1; }
# Still frames only: the caret and the hint timer settle first.
shot() {
  sleep 1.5
  import -window root "$out/$1.png"
  echo "shot: $1"
}

designer=Kovrin\ 1.4.1
setup_title="Установка программы"
pages=("Главная" "Файлы" "Сжатие" "Информация" "Лицензия" "Ярлыки" "Дополнительно")

# Every page of the designer window WINDOW, shot as NAME-1 … NAME-7.
shoot_pages() {
  local window=$1 name=$2 n
  for n in "${!pages[@]}"; do
    driver select "$window" "${pages[$n]}" >/dev/null || fail "no page ${pages[$n]}"
    shot "$name-$((n + 1))"
  done
}

# The designer, from a copy of the distribution: the example takes its files there.
cp -r "$build/dist" "$work/Kovrin"
wine "$work/Kovrin/Kovrin.exe" & pids+=($!)
driver wait "$designer" 60000 >/dev/null || fail "the designer did not open"
shoot_pages "$designer" designer-empty
driver menu "$designer" "Заполнить примером" >/dev/null || fail "no example"
shoot_pages "$designer" designer-example
driver select "$designer" "Ярлыки" >/dev/null
driver click "$designer" "Добавить ярлык" >/dev/null || fail "no add-shortcut button"
driver wait "Добавление ярлыка" 30000 >/dev/null || fail "the shortcut editor did not open"
shot designer-shortcut-editor
driver click "Добавление ярлыка" "Отмена" >/dev/null || fail "no cancel in the shortcut editor"
driver waitgone "Добавление ярлыка" 30000 || fail "the shortcut editor stayed open"

driver menu "$designer" "Выход" >/dev/null
driver waitgone "$designer" 30000 || fail "the designer did not close"
wait "${pids[-1]}" || true

# The demo project (a copy in the fixed folder: the pages show its files' paths),
# its pages and its build; the package it makes holds the same bytes whichever
# build of the kit makes it, so the setup program's figures are alike too.
cp -r "$here/examples/demo" "$work/demo"
demo_title="demo - $designer"
demo_project="Z:${work//\//\\}\\demo\\demo.kovrin"
wine "$work/Kovrin/Kovrin.exe" "$demo_project" & pids+=($!)
driver wait "$demo_title" 60000 >/dev/null || fail "the designer did not open the demo project"
shoot_pages "$demo_title" designer-demo
driver menu "$demo_title" "Запуск" >/dev/null || fail "no Запуск"
driver msgbox "Kovrin" none 60000 >/dev/null || fail "the build did not end with its message"
shot designer-built
driver msgbox "Kovrin" ok 30000 >/dev/null
driver menu "$demo_title" "Выход" >/dev/null
driver waitgone "$demo_title" 30000 || fail "the designer did not close"
wait "${pids[-1]}" || true

# The setup program: every page, then the install and its finished state.
package=$WINEPREFIX/drive_c/KovrinDemo
setup_pages=("Характеристика" "Лицензия" "Информация" "Путь установки" "Ярлыки")
wine "$package/Setup.exe" & pids+=($!)
driver wait "$setup_title" 60000 >/dev/null || fail "the setup window did not open"
for n in "${!setup_pages[@]}"; do
  driver select "$setup_title" "${setup_pages[$n]}" >/dev/null || continue
  if [ "${setup_pages[$n]}" = "Путь установки" ]; then
    driver settext "$setup_title" "Выберите путь установки программы:" 'Q:\Программа' >/dev/null ||
      fail "no install-path box"
  fi
  shot "setup-page-$((n + 1))"
done
driver select "$setup_title" "Путь установки" >/dev/null
driver settext "$setup_title" "Выберите путь установки программы:" 'C:\Installed' >/dev/null
driver click "$setup_title" "Установить" >/dev/null || fail "no install button"
driver waitbutton "$setup_title" "Готово" 120000 >/dev/null || fail "the install did not finish"
shot setup-finished
driver check "$setup_title" "Зайти на зайт программы" 0 >/dev/null || true
driver check "$setup_title" "Запустить установленную программу" 0 >/dev/null || true
driver click "$setup_title" "Готово" >/dev/null
driver waitgone "$setup_title" 30000 || fail "the setup window did not close"
wait "${pids[-1]}" || true

# A second run refused at once: the install folder is no full path.
wine "$package/Setup.exe" & pids+=($!)
driver wait "$setup_title" 60000 >/dev/null || fail "the setup window did not open again"
driver select "$setup_title" "Путь установки" >/dev/null
driver settext "$setup_title" "Выберите путь установки программы:" 'relative\folder' >/dev/null
driver click "$setup_title" "Установить" >/dev/null
driver msgbox "$setup_title" none 60000 >/dev/null || fail "no error box for a relative folder"
shot setup-refused
driver msgbox "$setup_title" ok 30000 >/dev/null
shot setup-stopped
driver click "$setup_title" "Отмена" >/dev/null || true
driver waitgone "$setup_title" 30000 || true
echo "capture: $(ls "$out" | wc -l) shots in $out"
