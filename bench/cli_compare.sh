#!/usr/bin/env bash
# Whole lintrelc processes, as scripts and make files call it: this tree's
# lintrelc beside an older build and /bin/true, each case in one hyperfine run
# so that the ratios hold on a busy machine.
#   bench/cli_compare.sh [OLD_LINTRELC] [quick]
# OLD_LINTRELC: default build/old/app/lintrelc (see bench/README.md for how it
# is built). "quick" takes fewer runs and leaves out the 100 MB project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench
old=$(realpath "${1:-build/old/app/lintrelc}")
quick=${2:-}
cmake -S . -B build/cli-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF \
  -DLINTREL_BENCH=ON >/dev/null
nice cmake --build build/cli-bench -j2 --target lintrelc lintrel_make_project >/dev/null
new=$(realpath build/cli-bench/app/lintrelc)
make_project=build/cli-bench/bench/lintrel_make_project

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Exports"
project() {  # NAME PLATFORM LINES STATEMENTS_PER_LINE
  "$make_project" "$2" "$3" "$4" > "$work/$1.lpj"
}
project small HT 2 1
project ht33k HT 310 4
project ht10m HT 62500 6
project basic10m BASIC 93000 4
project basic100k BASIC 930 4
project basic1m BASIC 9300 4
project basic100m BASIC 930000 4

runs_small=500; runs_large=20; runs_huge=5
if [ "$quick" = quick ]; then runs_small=100; runs_large=5; runs_huge=0; fi

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)   $(date -u +%H:%M) UTC"
echo "old: $old"
echo "new: $new"

# Runs hyperfine over the given commands; prints one row per command:
# name, median, min, max (seconds).
measure() {  # RUNS WARMUP COMMAND...
  local runs=$1 warmup=$2
  shift 2
  # -i: the HT project ends in the too-large error (exit 1) after all the work.
  hyperfine -N -i --style none --runs "$runs" --warmup "$warmup" --export-json "$work/run.json" "$@" >/dev/null 2>&1
  jq -r '.results[] | [.command, .median, .min, .max] | @tsv' "$work/run.json"
}

build_command() {  # LINTRELC PROJECT
  echo "$1 --exports $work/Exports --space-removal on $work/$2.lpj"
}

# One row per program: median (min-max) in ms, and the median over /bin/true's.
per_process() {  # PROJECT
  local bytes
  bytes=$(stat -c %s "$work/$1.lpj")
  echo
  echo "## one process per program: $1 ($bytes bytes), $runs_small runs"
  measure "$runs_small" 30 /bin/true "$(build_command "$old" "$1")" "$(build_command "$new" "$1")" |
    awk -F'\t' '{ label = NR == 1 ? "/bin/true" : NR == 2 ? "old" : "new"
                  if (NR == 1) base = $2
                  if (NR == 2) oldm = $2
                  printf "%-10s %7.3f ms (%.3f-%.3f)  %.2fx /bin/true", label, $2*1e3, $3*1e3, $4*1e3, $2/base
                  if (NR == 3) printf "  %.2fx old", $2/oldm
                  printf "\n" }'
}

# Source megabytes per second of whole processes.
streaming() {  # PROJECT RUNS
  local bytes
  bytes=$(stat -c %s "$work/$1.lpj")
  echo
  echo "## streaming: $1 ($bytes bytes), $2 runs"
  # Then both again with -w: the warnings' own walk over the lines left out.
  measure "$2" 2 "$(build_command "$old" "$1")" "$(build_command "$new" "$1")" \
    "$(build_command "$old -w" "$1")" "$(build_command "$new -w" "$1")" |
    awk -F'\t' -v bytes="$bytes" '{ label = NR == 1 ? "old" : NR == 2 ? "new" : NR == 3 ? "old -w" : "new -w"
                  if (NR % 2 == 1) oldm = $2
                  printf "%-6s %8.1f ms (%.1f-%.1f)  %6.1f MB/s (%.1f-%.1f)", label, $2*1e3, $3*1e3, $4*1e3,
                         bytes/$2/1e6, bytes/$4/1e6, bytes/$3/1e6
                  if (NR % 2 == 0) printf "  %.2fx faster", oldm/$2
                  printf "\n" }'
}

# Nanoseconds per source byte, whole process and beyond the 2-line program's time.
per_byte() {
  local sizes=(basic100k basic1m basic10m)
  [ "$runs_huge" -gt 0 ] && sizes+=(basic100m)
  echo
  echo "## time per source byte (BASIC), the new build"
  local small
  small=$(measure "$runs_small" 30 "$(build_command "$new" small)" | cut -f2)
  for name in "${sizes[@]}"; do
    local runs=$runs_large bytes
    [ "$name" = basic100m ] && runs=$runs_huge
    [ "$name" = basic100k ] && runs=$runs_small
    bytes=$(stat -c %s "$work/$name.lpj")
    measure "$runs" 2 "$(build_command "$new" "$name")" |
      awk -F'\t' -v bytes="$bytes" -v small="$small" -v name="$name" \
        '{ printf "%-10s %10d bytes  %6.2f ns/byte (%.2f-%.2f)  beyond start-up %6.2f ns/byte\n", name, bytes,
                  $2/bytes*1e9, $3/bytes*1e9, $4/bytes*1e9, ($2-small)/bytes*1e9 }'
  done
}

# Peak resident memory (kB), median of three runs.
peak_memory() {  # LINTRELC PROJECT
  for _ in 1 2 3; do
    { /usr/bin/time -f %M $(build_command "$1" "$2") 2>&1 >/dev/null || true; } | tail -1
  done | sort -n | sed -n 2p
}

memory() {
  local projects=(basic10m ht10m)
  [ "$runs_huge" -gt 0 ] && projects+=(basic100m)
  echo
  echo "## peak resident memory (median of 3)"
  for name in "${projects[@]}"; do
    local bytes o n
    bytes=$(stat -c %s "$work/$name.lpj")
    o=$(peak_memory "$old" "$name")
    n=$(peak_memory "$new" "$name")
    awk -v name="$name" -v bytes="$bytes" -v o="$o" -v n="$n" 'BEGIN {
      printf "%-10s %10d bytes  old %7.1f MB (%.2fx)  new %7.1f MB (%.2fx)  limit 3x+10 MB: %.1f MB\n",
             name, bytes, o*1024/1e6, o*1024/bytes, n*1024/1e6, n*1024/bytes, (3*bytes+10e6)/1e6 }'
  done
}

per_process ht33k
per_process small
streaming basic10m "$runs_large"
streaming ht10m "$runs_large"
per_byte
memory
echo
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)   $(date -u +%H:%M) UTC"
