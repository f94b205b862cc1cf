#!/usr/bin/env bash
# Fails when the table of what each folder may include, as ARCHITECTURE.md
# prints it (the first indented block after "What each folder may include"),
# differs from tests/tree/layers.txt, the table the layer check reads.
# Spacing inside a row does not count; comments of the file do not either.
# Usage: check-layers-doc.sh SOURCE_ROOT
set -euo pipefail
root="${1:?usage: check-layers-doc.sh SOURCE_ROOT}"
cd "$root"

rows() { sed -e 's/#.*//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' -e 's/[[:space:]]\+/ /g' -e '/^$/d'; }

printed="$(awk '
    /^What each folder may include/ { section = 1; next }
    section && /^    [^ ]/ { block = 1; print; next }
    block { exit }' ARCHITECTURE.md | rows)"
if [ -z "$printed" ]; then
    echo "ARCHITECTURE.md prints no table after \"What each folder may include\"" >&2
    exit 1
fi
if ! diff <(echo "$printed") <(rows < tests/tree/layers.txt) >&2; then
    echo "ARCHITECTURE.md (<) and tests/tree/layers.txt (>) list different includes" >&2
    exit 1
fi
echo "ARCHITECTURE.md prints the table the layer check reads"
