#!/usr/bin/env bash
# The in-process build benchmarks (lintrel_bench) with every repetition kept,
# printed as median (min-max) per benchmark, so that ranges are reported
# and not only the median of one run.
#   bench/in_process.sh [FILTER] [REPETITIONS] [OLD_LINTREL_BENCH]
# With OLD_LINTREL_BENCH (an older build's lintrel_bench) the same filter runs
# on it right after, for figures side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
filter=${1:-.}
repetitions=${2:-10}
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_TESTS=OFF -DLINTREL_BENCH=ON >/dev/null
nice cmake --build build/bench -j2 --target lintrel_bench >/dev/null
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)   $(date -u +%H:%M) UTC"
summarize() {  # LINTREL_BENCH
  "$1" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
  --benchmark_format=json 2>/dev/null |
  jq -r 'def median: sort | (.[(length / 2 | floor)] + .[((length - 1) / 2 | floor)]) / 2;
         [.benchmarks[] | select(.run_type == "iteration")] | group_by(.run_name)[] |
         (map(.real_time) | sort) as $t | (map(.bytes_per_second // 0) | sort) as $b |
         [.[0].run_name, .[0].time_unit, ($t | median), $t[0], $t[-1], ($b | median), $b[0], $b[-1]] | @tsv' |
  awk -F'\t' '{ printf "%-34s %10.3f %s (%.3f-%.3f)", $1, $3, $2, $4, $5
                if ($6 > 0) printf "  %7.1f MB/s (%.1f-%.1f)", $6 / 1e6, $7 / 1e6, $8 / 1e6
                printf "\n" }'
}
echo "== new: build/bench/bench/lintrel_bench"
summarize build/bench/bench/lintrel_bench
if [ -n "${3:-}" ]; then
  echo "== old: $3"
  summarize "$3"
fi
