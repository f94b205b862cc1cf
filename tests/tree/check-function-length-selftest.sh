#!/usr/bin/env bash
# The function-length check must pass a function of exactly 80 lines and
# refuse one of 81: in a class body of a header, written the way the tree's
# format writes it, and in a source file with its brace on the signature line.
set -euo pipefail
check="${1:?usage: check-function-length-selftest.sh CHECK_SCRIPT [CTAGS]}"
ctags="${2:-ctags}"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/model" "$tree/tests"
run_check() { bash "$check" "$tree" 80 "$ctags"; }

# A function named $1 of $2 lines from its name to its closing brace, the
# brace that opens the body on a line of its own (or, with $3, on the
# signature line), indented by $4.
function_of() {
    local name="$1" lines="$2" same_line="${3:-}" indent="${4:-}" body i
    if [ -n "$same_line" ]; then
        echo "${indent}int $name(int x) {"
        body=$((lines - 2))
    else
        echo "${indent}int $name(int x)"
        echo "${indent}{"
        body=$((lines - 3))
    fi
    for ((i = 1; i < body; i++)); do echo "${indent}    x += $i;"; done
    echo "${indent}    return x;"
    echo "${indent}}"
}

function_of Sum 80 > "$tree/model/Sum.cpp"
function_of Long 200 > "$tree/tests/LongTest.cpp"  # tests stand outside the product
{
    echo 'class TTotal {'
    echo 'public:'
    function_of Add 80 '' '    '
    echo '};'
} > "$tree/model/Total.h"
run_check 2>/dev/null || { echo "a function of 80 lines was refused" >&2; exit 1; }

{
    echo 'class TTotal {'
    echo 'public:'
    function_of Add 81 '' '    '
    echo '};'
} > "$tree/model/Total.h"
if run_check 2>/dev/null; then echo "81 lines in a class body of a header passed" >&2; exit 1; fi
rm "$tree/model/Total.h"

function_of Sum 81 same-line > "$tree/model/Sum.cpp"
if run_check 2>/dev/null; then echo "81 lines with the brace on the signature line passed" >&2; exit 1; fi
echo "the function-length check refuses what it should"
