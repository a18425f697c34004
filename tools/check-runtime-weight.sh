#!/usr/bin/env bash
# The shipped programs leave out the heavy part of the C++ runtime that
# src/support/LibraryThrows.cpp stands in for (some 80 KB a program). It leaves
# texts of its own in a program that links it: the old reference-counted
# string's error message and std::random_device's.
# Usage: check-runtime-weight.sh <program>...
set -euo pipefail
status=0
for program in "$@"; do
  [ -s "$program" ] || { echo "$program: missing" >&2; status=1; continue; }
  for text in 'basic_string::_S_create' 'random_device'; do
    if grep -aqF "$text" "$program"; then
      echo "$program holds \"$text\": a part of the runtime it should not link" >&2
      status=1
    fi
  done
done
exit "$status"
