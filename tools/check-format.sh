#!/usr/bin/env bash
# Every C++ file of the project as the repository's .clang-format lays it out.
# Fix a file with: clang-format -i <file>
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
if ! command -v clang-format >/dev/null; then
  echo "Format check: clang-format is missing; run tools/install-deps.sh as root." >&2
  exit 1
fi
bad=()
while IFS= read -r file; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c')
if [ ${#bad[@]} -gt 0 ]; then
  echo "Format check: these files differ from .clang-format (fix with clang-format -i):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "Format check passed."
