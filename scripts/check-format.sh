#!/usr/bin/env bash
# Every C++ file keeps the committed .clang-format style.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*' 'tests/*' 'bench/*' 'fuzz/*' 'tools/*' 2>/dev/null | grep -E '\.(cpp|h|hpp|cc)$' ||
                     find src tests bench fuzz tools -name '*.cpp' -o -name '*.h')
clang-format --dry-run -Werror "${files[@]}" && echo "format: ok (${#files[@]} files)"
