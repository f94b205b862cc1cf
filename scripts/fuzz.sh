#!/usr/bin/env bash
# Builds the libFuzzer targets (build/fuzz, clang++, AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs each one for SECONDS (default 30)
# against its seed corpus. Fails on any crash, leak, timeout, out-of-memory
# or sanitizer report; libFuzzer then leaves the input that found it in
# build/fuzz/findings/<target>/.
#
#   bash scripts/fuzz.sh          # 30 s a target
#   bash scripts/fuzz.sh 20       # 20 s a target (what scripts/test.sh runs)
#   bash scripts/fuzz.sh 600      # 10 minutes a target
#
# New inputs that reach new code are kept in fuzz/corpus-work/<target>/
# (ignored by git), so later runs start from where earlier ones got to; the
# seeds in fuzz/corpus/<target>/ and the fixture site in tests/data/site/
# are only read.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds per target, at least 1)" >&2
  exit 2
fi
build="${TEMBROOK_FUZZ_BUILD:-$here/build/fuzz}"
jobs="${TEMBROOK_JOBS:-$(nproc)}"
targets=(fuzz_top_page fuzz_table_page fuzz_text_helpers fuzz_cp932_display fuzz_saved_list fuzz_page_encoding)

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTEMBROOK_BUILD_FUZZ=ON -DTEMBROOK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target tembrook_fuzz

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"

failed=()
for target in "${targets[@]}"; do
  work="$here/fuzz/corpus-work/$target"
  findings="$build/findings/$target"
  mkdir -p "$work" "$findings"
  echo "== $target: ${seconds}s"
  log="$build/findings/$target.log"
  # -max_len keeps single inputs small enough for the slow reference checks;
  # the large pages are the hostile tests' business.
  if "$build/fuzz/$target" "$work" "$here/fuzz/corpus/$target" "$here/tests/data/site" \
      -dict="$here/fuzz/tembrook.dict" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | sed 's/^/   /' || true
  else
    echo "!! $target found a fault; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "== fuzzing found faults in: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "== fuzz targets ran ${seconds}s each without a finding"
