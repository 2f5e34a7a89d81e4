#!/usr/bin/env bash
# The C++ sources as the repository's .clang-format lays them out: lists
# every file that differs and fails on any.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' 2>/dev/null ||
  find src tests bench -name '*.cpp' -o -name '*.h')
status=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (clang-format -i $f)"
    status=1
  fi
done
exit $status
