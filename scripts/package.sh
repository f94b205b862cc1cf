#!/usr/bin/env bash
# Sets up a fresh machine, builds in Release and makes the Debian package in
# build/package/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/deps.sh"
"$here/scripts/build.sh" "$here/build/package" -DCMAKE_BUILD_TYPE=Release -DTEMBROOK_BUILD_TESTS=OFF
(cd "$here/build/package" && cpack -G DEB >/dev/null)
ls "$here"/build/package/tembrook_*.deb
