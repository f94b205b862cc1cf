#!/usr/bin/env bash
# Builds the benchmarks in Release (build/bench) and runs them: first the
# in-process benchmark binary (the table of every benchmark, then the figures
# that have targets with their limits), then the fresh-process benchmarks
# (bench/fresh_process.py: tembrook-export started fresh beside an lxml
# scraper on a 50,000-row and a 600-row loopback site, and the window's cold
# start under Xvfb beside an empty Qt main window, in alternating pairs).
# Fails when a target of either part is missed or a benchmark fails.
#
#   bash scripts/bench.sh                                  # everything, 3 repetitions (medians shown)
#   bash scripts/bench.sh --benchmark_filter=parse         # some of the in-process ones (and every fresh one)
#   bash scripts/bench.sh --benchmark_repetitions=1        # quicker, noisier
#   bash scripts/bench.sh --fresh-only                     # only the fresh-process pairs
#   bash scripts/bench.sh --in-process-only                # only the benchmark binary
#   TEMBROOK_FRESH_PAIRS=11 bash scripts/bench.sh          # more pairs a case (default 7, at least 5)
#
# Other arguments go to the binary (Google Benchmark's --benchmark_* options);
# a JSON copy of its results can be had with --benchmark_out=FILE
# --benchmark_out_format=json.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

in_process=1
fresh=1
args=()
for arg in "$@"; do
  case "$arg" in
    --fresh-only) in_process=0 ;;
    --in-process-only) fresh=0 ;;
    *) args+=("$arg") ;;
  esac
done

"$here/scripts/deps.sh"

build="${TEMBROOK_BENCH_BUILD:-$here/build/bench}"
jobs="${TEMBROOK_JOBS:-$(nproc)}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEMBROOK_BUILD_BENCH=ON \
  -DTEMBROOK_BUILD_TESTS=OFF >/dev/null
targets=()
[ "$in_process" -eq 1 ] && targets+=(tembrook_bench)
[ "$fresh" -eq 1 ] && targets+=(tembrook-export tembrook tembrook_bench_site tembrook_bench_empty_window)
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

# The in-process window runs offscreen; the downloads never leave loopback.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"

echo "== $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
if [ "$in_process" -eq 1 ]; then
  "$build/bench/tembrook_bench" --benchmark_repetitions=3 "${args[@]}" || status=1
fi
if [ "$fresh" -eq 1 ]; then
  /usr/bin/python3 "$here/bench/fresh_process.py" --build "$build" --pairs "${TEMBROOK_FRESH_PAIRS:-7}" || status=1
fi
exit "$status"
