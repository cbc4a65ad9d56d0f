#!/usr/bin/env bash
# The window's benchmark beside the window as it was before the gutter, the
# build panel and the view options: one bench source built against both
# trees (the older one with LINTREL_BENCH_TODAY), each step run for one and
# then the other, so that both are measured in one run on one machine.
#   bench/window_compare.sh [BASE_COMMIT] [REPETITIONS]
# BASE_COMMIT defaults to where this branch left main.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-$(git merge-base HEAD main)}
repetitions=${2:-10}
bash scripts/install-deps.sh
source_copy=build/window-base/source
if [ "$(cat "$source_copy/.commit" 2>/dev/null)" != "$(git rev-parse "$base")" ]; then
  rm -rf "$source_copy"
  mkdir -p "$source_copy"
  git archive "$base" | tar -x -C "$source_copy"
  git rev-parse "$base" > "$source_copy/.commit"
fi
cmp -s bench/window_editor_bench.cpp "$source_copy/bench/window_editor_bench.cpp" ||
  cp bench/window_editor_bench.cpp "$source_copy/bench/window_editor_bench.cpp"
cmake -S "$source_copy" -B build/window-base/build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_TESTS=OFF \
  -DLINTREL_BENCH=ON -DCMAKE_CXX_FLAGS=-DLINTREL_BENCH_TODAY >/dev/null
nice cmake --build build/window-base/build -j2 --target lintrel_window_bench
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_TESTS=OFF -DLINTREL_BENCH=ON >/dev/null
nice cmake --build build/bench -j2 --target lintrel_window_bench

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
run() {
  "$1" --benchmark_filter="$2" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out_format=console 2>/dev/null | grep -E "_(median|min|max) "
}
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "today: window at $(git rev-parse --short "$base"); new: $(git rev-parse --short HEAD) with uncommitted changes: $(git status --porcelain | wc -l)"
for step in Open Keystroke Save F12; do
  echo "== $step: today"
  run build/window-base/build/bench/lintrel_window_bench "$step"
  echo "== $step: new (gutter and current-line highlight on)"
  run build/bench/bench/lintrel_window_bench "$step"
done
echo "== new only"
run build/bench/bench/lintrel_window_bench "Gutter"
