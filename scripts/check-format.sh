#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the project is not formatted with the
# project's .clang-format (clang-format-14, the version the sources are formatted with).
#
# The sources are git's tracked files; without git (or outside a git checkout) they are the
# C++ files under the source folders, build folders left out. Fails too when no file can be
# listed or clang-format-14 is missing: a check that cannot look is not a pass.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
FORMATO=clang-format-14
PATRONES=('*.cpp' '*.h' '*.hpp' '*.cc')
CARPETAS=(access app bench console engine storage tests tools)

if ! command -v "$FORMATO" >/dev/null 2>&1; then
  echo "format: $FORMATO not found (Debian package clang-format-14, in .ci/packages)" >&2
  exit 1
fi

lista=$(mktemp)
errores=$(mktemp)
trap 'rm -f "$lista" "$errores"' EXIT
if command -v git >/dev/null 2>&1 && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  if ! git ls-files -z -- "${PATRONES[@]}" >"$lista"; then
    echo "format: git could not list the tracked sources" >&2
    exit 1
  fi
  origen="git's tracked files"
else
  nombres=()
  for p in "${PATRONES[@]}"; do nombres+=(-o -name "$p"); done
  existentes=()
  for c in "${CARPETAS[@]}"; do [ -d "$c" ] && existentes+=("$c"); done
  if [ ${#existentes[@]} -eq 0 ] ||
    ! find "${existentes[@]}" -type f \( "${nombres[@]:1}" \) -print0 >"$lista"; then
    echo "format: could not list the sources without git" >&2
    exit 1
  fi
  origen="the source folders (no git checkout here)"
fi
cuantos=$(tr -cd '\0' <"$lista" | wc -c)
if [ "$cuantos" -eq 0 ]; then
  echo "format: no C++ source found in $origen" >&2
  exit 1
fi

# Many files per call, one call per core: --dry-run names every unformatted line on stderr as
# "file:line:col: error: code should be clang-formatted".
xargs -0 -n 64 -P "$(nproc)" "$FORMATO" --dry-run -Werror --style=file <"$lista" \
  >/dev/null 2>"$errores"
rc=$?
mal=$(grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' "$errores" |
  cut -d: -f1 | sort -u)
if [ -n "$mal" ]; then
  echo "Sin formato ($FORMATO -i para corregir):"
  while IFS= read -r f; do echo "  $f"; done <<<"$mal"
  exit 1
fi
if [ "$rc" -ne 0 ]; then
  # clang-format itself failed (a file it could not read, a broken .clang-format).
  echo "format: $FORMATO failed:" >&2
  head -20 "$errores" >&2
  exit 1
fi
echo "format: all $cuantos sources in $origen are formatted"
