#!/usr/bin/env bash
# Configures and builds one build tree. Usage: build.sh DIR [extra cmake args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"; shift
jobs="${TEMBROOK_JOBS:-$(nproc)}"
cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$jobs"
