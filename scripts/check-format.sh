#!/usr/bin/env bash
# Fails, naming the files, when a C++ file in the tree is not formatted by the tree's .clang-format.
# With file names (relative to the tree's root) it checks those C++ files only.
# Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

check() {
  if ! clang-format --dry-run --Werror "$1" >/dev/null 2>&1; then unformatted+=("$1"); fi
}

unformatted=()
if [ $# -gt 0 ]; then
  for file in "$@"; do
    case "$file" in *.h | *.cpp) [ -f "$file" ] && check "$file" ;; esac
  done
else
  while IFS= read -r -d '' file; do check "$file"; done < <(git ls-files -z -- '*.h' '*.cpp')
fi

if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted by .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "every C++ file is formatted"
