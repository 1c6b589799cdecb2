#!/usr/bin/env bash
# Checks that every C++ file of the project is as clang-format 14 lays it out (.clang-format).
# With --fix, formats the files that differ in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format 14 is missing: scripts/bootstrap.sh installs it" >&2
  exit 1
fi
mapfile -d '' files < <(find src tests bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
if ! report=$("$format" --dry-run --Werror "${files[@]}" 2>&1); then
  grep -E '^[^ ]+: error:' <<< "$report" | cut -d: -f1 | sort -u | sed 's/$/: not formatted/' >&2
  echo "Format them with: scripts/check-format.sh --fix (or git clang-format on your change)" >&2
  exit 1
fi
