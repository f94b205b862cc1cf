#!/usr/bin/env bash
# Fails when a function of the product code runs over 80 lines. The tree's
# format puts the braces of every function body defined outside a class at
# the start of a line, so a body is the lines from a "{" line to the next
# "}" line; the count includes both braces and the signature is not counted.
# Usage: check-function-length.sh SOURCE_ROOT [LIMIT]
set -euo pipefail
root="${1:?usage: check-function-length.sh SOURCE_ROOT [LIMIT]}"
limit="${2:-80}"
cd "$root"
find platform text model import net exchange ui app cli -name '*.cpp' 2>/dev/null | sort |
    xargs awk -v limit="$limit" '
        FNR == 1 { start = 0 }
        /^\{/ { start = FNR; name = previous }
        /^\}/ && start {
            length_ = FNR - start + 1
            if (length_ > limit) {
                printf "%s:%d: %s runs %d lines (over %d)\n", FILENAME, start, name, length_, limit
                bad++
            }
            start = 0
        }
        { if ($0 !~ /^[[:space:]]*$/) previous = $0 }
        END {
            if (bad) { printf "%d function(s) over %d lines\n", bad, limit; exit 1 }
            print "no function over " limit " lines"
        }' >&2
