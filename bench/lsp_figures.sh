#!/usr/bin/env bash
# The language server on a generated HT project of 50,000 lines (or LINES):
# instructions from a one-character change to its diagnostics published
# (callgrind, one dump per change, in-process), and the peak resident memory
# of a real `lintrelc lsp` that opens the project, builds it, takes one change
# and builds again. No wall-clock time is taken: the pauses only let the
# server's builds run before the next message.
#   bench/lsp_figures.sh [LINES] [CHANGES]
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-50000}
changes=${2:-9}
bash scripts/install-deps.sh --bench
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF -DLINTREL_BENCH=ON >/dev/null
cmake --build build/bench -j2 --target lintrelc lintrel_lsp_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One callgrind dump per change: the instructions of that change alone.
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind" --toggle-collect='*measureOneChange*' \
  build/bench/bench/lintrel_lsp_bench changes "$lines" "$changes" 2>/dev/null
counts=$(for dump in "$work"/callgrind.*; do
  sed -n 's/^summary: \([0-9]*\).*/\1/p' "$dump"
done | awk '$1 > 1000' | sort -n)  # the last dump, at the end, holds only the way out
echo "instructions per change (${changes} changes): median $(echo "$counts" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')," \
  "min $(echo "$counts" | head -1), max $(echo "$counts" | tail -1)"

# Peak memory of the real process.
bytes=$(build/bench/bench/lintrel_lsp_bench messages "$lines" "$work")
{ cat "$work/open"; sleep 5; cat "$work/change"; sleep 5; cat "$work/end"; } |
  /usr/bin/time -f '%M' -o "$work/peak" build/bench/app/lintrelc lsp > "$work/answers"
published=$(grep -o 'publishDiagnostics' "$work/answers" | wc -l)
peak=$(cat "$work/peak")
echo "project text: $bytes bytes; diagnostics published $published times (2 expected)"
echo "peak resident memory: $peak KB; limit 3 x text + 20 MB = $(( (3 * bytes + 20 * 1024 * 1024) / 1024 )) KB"
