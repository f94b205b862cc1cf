#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs every test: once plain, once
# under AddressSanitizer + UndefinedBehaviorSanitizer. Fails on any failure.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/deps.sh"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# Tests must never leave loopback, whatever proxy the machine has configured.
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"
jobs="${TEMBROOK_JOBS:-$(nproc)}"

echo "== plain build"
"$here/scripts/build.sh" "$here/build/test"
ctest --test-dir "$here/build/test" --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
"$here/scripts/build.sh" "$here/build/asan" -DCMAKE_BUILD_TYPE=Debug -DTEMBROOK_SANITIZE=ON
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1" \
LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir "$here/build/asan" --output-on-failure -j "$jobs"

if [ -f "$here/scripts/fuzz.sh" ]; then
  echo "== fuzz targets, short bounded runs"
  bash "$here/scripts/fuzz.sh" "${TEMBROOK_FUZZ_SECONDS:-20}"
fi
echo "== all tests passed"
