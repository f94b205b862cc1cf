#!/usr/bin/env bash
# Builds like the test command, then runs the whole suite, plain and under
# AddressSanitizer + UndefinedBehaviorSanitizer, several times while
# stress-ng keeps every core busy. A test that needs a quick machine fails
# here. Fails on any failure; prints how many runs were made and how many
# failed. Usage: test-under-load.sh [ROUNDS] (default 3).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rounds="${1:-3}"
"$here/scripts/deps.sh"  # installs stress-ng too

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"
jobs="${TEMBROOK_JOBS:-$(nproc)}"

echo "== builds"
"$here/scripts/build.sh" "$here/build/test"
"$here/scripts/build.sh" "$here/build/asan" -DCMAKE_BUILD_TYPE=Debug -DTEMBROOK_SANITIZE=ON

# One busy worker per core for as long as the suites run.
stress-ng --cpu "$(nproc)" --timeout 0 --quiet &
stress=$!
trap 'kill "$stress" 2>/dev/null || true; wait "$stress" 2>/dev/null || true' EXIT

runs=0
failed=0
failures=()
run() {
  local name="$1"; shift
  runs=$((runs + 1))
  echo "== $name"
  if ! "$@"; then
    failed=$((failed + 1))
    failures+=("$name")
  fi
}
for round in $(seq 1 "$rounds"); do
  run "plain, round $round" ctest --test-dir "$here/build/test" --output-on-failure -j "$jobs"
  run "asan, round $round" env \
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1" \
    LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$here/build/asan" --output-on-failure -j "$jobs"
done

echo "== under load: $runs suite runs, $failed failed"
for f in "${failures[@]}"; do echo "   failed: $f"; done
[ "$failed" -eq 0 ]
