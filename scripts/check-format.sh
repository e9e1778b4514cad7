#!/usr/bin/env bash
# Fails when a C++ file of the repository deviates from the checked-in .clang-format, and
# names the files (clang-format -i FILE puts one right).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "check-format.sh: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
deviating=()
while IFS= read -r -d '' file; do
  if ! clang-format --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    deviating+=("$file")
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#deviating[@]} -ne 0 ]; then
  echo "These files deviate from .clang-format (clang-format -i FILE):" >&2
  printf '  %s\n' "${deviating[@]}" >&2
  exit 1
fi
