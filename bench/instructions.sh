#!/usr/bin/env bash
# Instruction counts of whole lintrelc processes (valgrind's callgrind: they
# do not move with the machine's load), for the cases bench/README.md lists.
#   bench/instructions.sh [LINTRELC]
# LINTRELC: default this tree's Release build in build/instructions (made
# when missing; BUILD=folder names another Release build with the bench on).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench
build=${BUILD:-build/instructions}
if [ ! -x "$build/bench/lintrel_make_project" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF \
    -DLINTREL_BENCH=ON >/dev/null
  nice cmake --build "$build" -j2 --target lintrelc lintrel_make_project >/dev/null
fi
lintrelc=$(realpath "${1:-$build/app/lintrelc}")
make_project=$build/bench/lintrel_make_project

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_project" HT 2 1 > "$work/small.lpj"
"$make_project" typical HT 33000 > "$work/ht33k.lpj"
"$make_project" typical HT 1000000 > "$work/ht1m.lpj"
"$make_project" typical BASIC 1000000 > "$work/basic1m.lpj"
"$make_project" HT 32000 12 > "$work/ht10m.lpj"
"$make_project" typical BASIC 10000000 > "$work/basic10m.lpj"
"$lintrelc" -o "$work/listing.bas" "$work/basic1m.lpj" >/dev/null

# Instructions of one run: callgrind's total, and the inclusive count of a
# function when one is named.
instructions() {  # OUT FUNCTION ARGS...
  local out=$1 function=$2
  shift 2
  mkdir -p "$work/out"
  valgrind --tool=callgrind --callgrind-out-file="$work/cg" "$@" >/dev/null 2>&1 || true
  total=$(callgrind_annotate "$work/cg" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}')
  part=0
  if [ -n "$function" ]; then
    part=$(callgrind_annotate --inclusive=yes "$work/cg" 2>/dev/null | awk -v f="$function" \
      'index($0, f) {gsub(",", "", $1); print $1; exit}')
  fi
  eval "$out=\"$total ${part:-0}\""
}
row() {  # CASE PROJECT INSTRUCTIONS
  local bytes
  bytes=$(stat -c %s "$2")
  awk -v c="$1" -v b="$bytes" -v i="$3" 'BEGIN {printf "%-34s %11d bytes %14d instructions %8.1f per byte\n", c, b, i, i / b}'
}

echo "lintrelc: $lintrelc"
instructions r "" "$lintrelc" -o "$work/out/a" "$work/small.lpj"; row "2-line HT program" "$work/small.lpj" "${r% *}"
instructions r compareReadBack "$lintrelc" -o "$work/out/a" "$work/ht33k.lpj"
row "33 KB typical HT program" "$work/ht33k.lpj" "${r% *}"
awk -v t="${r% *}" -v p="${r#* }" 'BEGIN {printf "%-34s %.1f%% of the run (%d instructions)\n", "  self-check (read-back)", 100 * p / t, p}'
instructions r "" "$lintrelc" -o "$work/out/a" "$work/ht1m.lpj"; row "1 MB typical HT, warnings on" "$work/ht1m.lpj" "${r% *}"
instructions r "" "$lintrelc" -o "$work/out/a" "$work/basic1m.lpj"; row "1 MB typical BASIC, warnings on" "$work/basic1m.lpj" "${r% *}"
instructions r "" "$lintrelc" -o "$work/out/a" "$work/ht10m.lpj"; row "10 MB HT, 12 statements a line" "$work/ht10m.lpj" "${r% *}"
instructions with "" "$lintrelc" -o "$work/out/a" "$work/basic10m.lpj"
instructions without "" "$lintrelc" -w -o "$work/out/a" "$work/basic10m.lpj"
row "10 MB typical BASIC, warnings on" "$work/basic10m.lpj" "${with% *}"
row "10 MB typical BASIC, -w" "$work/basic10m.lpj" "${without% *}"
awk -v a="${with% *}" -v b="${without% *}" 'BEGIN {printf "%-34s +%.1f%%\n", "  warnings share", 100 * (a - b) / b}'
instructions r "" "$lintrelc" import --platform HT -o "$work/out/imported.lpj" "$work/listing.bas"
row "unnumbering a 1 MB HT listing" "$work/listing.bas" "${r% *}"
