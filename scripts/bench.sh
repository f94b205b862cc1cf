#!/usr/bin/env bash
# Builds the benchmark binary in Release (build/bench) and runs it: the table
# of every benchmark, then the figures that have targets with their limits.
# Fails when a target is missed or a benchmark fails.
#
#   bash scripts/bench.sh                                  # everything, 3 repetitions (medians shown)
#   bash scripts/bench.sh --benchmark_filter=parse         # some of them
#   bash scripts/bench.sh --benchmark_repetitions=1        # quicker, noisier
#
# Arguments go to the binary (Google Benchmark's --benchmark_* options); a
# JSON copy of the results can be had with --benchmark_out=FILE
# --benchmark_out_format=json.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/deps.sh"

build="${TEMBROOK_BENCH_BUILD:-$here/build/bench}"
jobs="${TEMBROOK_JOBS:-$(nproc)}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEMBROOK_BUILD_BENCH=ON \
  -DTEMBROOK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target tembrook_bench

# The window runs offscreen; the downloads never leave loopback.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"

echo "== $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
exec "$build/bench/tembrook_bench" --benchmark_repetitions=3 "$@"
