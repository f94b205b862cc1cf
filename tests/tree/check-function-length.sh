#!/usr/bin/env bash
# Fails when a function of the product code (every C++ file outside tests/,
# bench/ and fuzz/) runs over 80 lines. universal-ctags finds each function
# definition, in a source file, a header or a class body, lambdas included,
# with the line of its name and the line of its closing brace; a function's
# length counts both.
# Usage: check-function-length.sh SOURCE_ROOT [LIMIT] [CTAGS]
set -euo pipefail
root="${1:?usage: check-function-length.sh SOURCE_ROOT [LIMIT] [CTAGS]}"
limit="${2:-80}"
ctags="${3:-ctags}"
cd "$root"
if ! "$ctags" --version 2>/dev/null | grep -q 'Universal Ctags'; then
    echo "universal-ctags not found as $ctags (scripts/deps.sh installs it)" >&2
    exit 1
fi
mapfile -t files < <(find . \( -path ./.git -o -path './build*' -o -path ./tests -o -path ./bench -o -path ./fuzz \) \
    -prune -o \( -name '*.cpp' -o -name '*.h' \) -printf '%P\n' | sort)
if [ "${#files[@]}" -eq 0 ]; then
    echo "no C++ file found under $root" >&2
    exit 1
fi
# One tag a line: name, file, address, kind, then key:value fields (line:,
# end:, and the scope as class:, struct: or namespace:).
printf '%s\n' "${files[@]}" |
    "$ctags" --quiet --options=NONE --language-force=C++ --kinds-C++=f --fields=+nes --excmd=number --sort=no \
        -L - -o - |
    awk -F '\t' -v limit="$limit" -v count="${#files[@]}" '
        {
            start = 0; end = 0; scope = ""
            for (i = 5; i <= NF; i++) {
                if ($i ~ /^line:/) start = substr($i, 6) + 0
                else if ($i ~ /^end:/) end = substr($i, 5) + 0
                else if ($i ~ /^(class|struct|union|namespace):/) scope = substr($i, index($i, ":") + 1)
            }
            name = $1 ~ /^__anon/ ? "a lambda" : $1
            if (scope != "" && scope !~ /__anon[^:]*$/) name = name " (in " scope ")"
            if (!start || !end) {
                printf "%s: ctags gives no end line for %s\n", $2, name
                bad++
                next
            }
            functions++
            if (end - start + 1 > limit) {
                printf "%s:%d: %s runs %d lines (over %d)\n", $2, start, name, end - start + 1, limit
                bad++
            }
        }
        END {
            if (bad) { printf "%d function(s) over %d lines or unmeasured\n", bad, limit; exit 1 }
            if (!functions) { print "ctags found no function in " count " files"; exit 1 }
            print functions " functions in " count " files, none over " limit " lines"
        }' >&2
