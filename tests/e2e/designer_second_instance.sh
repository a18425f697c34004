#!/usr/bin/env bash
# End to end: a second designer finds the first by its application window's title,
# asks whether to switch to it, and ends without a window of its own, whatever
# the answer; the first keeps running.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/tests/e2e/lib/common.sh"

first= second=
cleanup() {
  for pid in $second $first; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

"$build/wine-run.sh" "$build/dist/Kovrin.exe" & first=$!
driver wait "Kovrin 1.4.1" 60000 >/dev/null || fail "the designer did not open"

for answer in no yes; do
  "$build/wine-run.sh" "$build/dist/Kovrin.exe" & second=$!
  text=$(driver msgbox "Проверка" none 60000) || fail "no question from the second instance"
  sleep 0.5  # let the box settle before it is answered
  driver msgbox "Проверка" "$answer" 5000 >/dev/null || fail "the question went away unanswered"
  [ "$text" = "text: Программа уже запущена. Переключиться на нее?" ] || fail "question was: $text"
  for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$second" 2>/dev/null && fail "the second instance kept running after '$answer'"
  wait "$second" || true
  second=
  kill -0 "$first" 2>/dev/null || fail "the first designer ended"
  driver wait "Kovrin 1.4.1" 5000 >/dev/null || fail "the first designer's window is gone after '$answer'"
done

kill "$first"
wait "$first" 2>/dev/null || true
first=
echo "designer second instance: ok"
