#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
((${#files[@]})) || exit 0
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: run 'clang-format -i' on the files above" >&2
    exit 1
fi
