#!/usr/bin/env bash
# Fails, naming the files, when a C++ file in the tree is not formatted by the tree's .clang-format.
# Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

unformatted=()
while IFS= read -r -d '' file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then unformatted+=("$file"); fi
done < <(git ls-files -z -- '*.h' '*.cpp')

if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted by .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "every C++ file is formatted"
