#!/usr/bin/env bash
# Sets up a fresh machine, builds the program and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/deps.sh"
"$here/scripts/build.sh" "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DTEMBROOK_BUILD_TESTS=OFF
exec "$here/build/release/app/tembrook" "$@"
