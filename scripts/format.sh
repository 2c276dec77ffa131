#!/usr/bin/env bash
# Formats the C++ sources of src/, tests/ and tools/ with .clang-format. With --check it changes
# nothing and fails, listing the files, when any file is not formatted.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h')
if [[ ${1:-} == --check ]]; then
  bad=()
  for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if ((${#bad[@]})); then
    echo "Not formatted (run scripts/format.sh): ${bad[*]}" >&2
    exit 1
  fi
  exit 0
fi
clang-format -i "${files[@]}"
