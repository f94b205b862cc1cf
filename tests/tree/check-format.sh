#!/usr/bin/env bash
# Fails when a C++ file of the tree does not match the root's .clang-format.
# Usage: check-format.sh SOURCE_ROOT [CLANG_FORMAT]
set -euo pipefail
root="${1:?usage: check-format.sh SOURCE_ROOT [CLANG_FORMAT]}"
clang_format="${2:-clang-format}"
cd "$root"
if ! command -v "$clang_format" >/dev/null 2>&1; then
    echo "clang-format not found (scripts/deps.sh installs it)" >&2
    exit 1
fi
if ! "$clang_format" --version | grep -q 'version 14\.'; then
    echo "the tree is formatted with clang-format 14; found: $("$clang_format" --version)" >&2
    exit 1
fi
mapfile -t files < <(find . \( -path ./.git -o -path './build*' -o -path ./fuzz/corpus-work \) -prune \
    -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [ "${#files[@]}" -eq 0 ]; then
    echo "no C++ file found under $root" >&2
    exit 1
fi
"$clang_format" --style=file --dry-run --Werror "${files[@]}"
echo "${#files[@]} files match .clang-format"
