#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ source is not formatted with the project's
# .clang-format.
set -uo pipefail
cd "$(dirname "$0")/.."
mal=()
while IFS= read -r -d '' f; do
  if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
    mal+=("$f")
  fi
done < <(git ls-files -z -- '*.cpp' '*.h' '*.hpp' '*.cc')
if [ ${#mal[@]} -gt 0 ]; then
  echo "Sin formato (clang-format -i para corregir):"
  printf '  %s\n' "${mal[@]}"
  exit 1
fi
echo "format: every tracked source is formatted"
