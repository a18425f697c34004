#!/usr/bin/env bash
# Engines never include window headers: support/, formats/ and the engine folders
# (designer/ and setup/ outside their ui/ sub-folders) stay free of them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here/src"
pattern='#\s*include\s*[<"](commctrl\.h|richedit\.h|commdlg\.h|win/[^">]*|[^">]*/ui/[^">]*)[">]'
bad=$(grep -rnE "$pattern" support formats designer setup 2>/dev/null | grep -vE '^(designer|setup)/ui/' | grep -vE '^(designer|setup)/main\.cpp:' || true)
if [ -n "$bad" ]; then
  echo "Layering error: window headers included below the window layer:" >&2
  echo "$bad" >&2
  exit 1
fi
echo "Layering check passed."
