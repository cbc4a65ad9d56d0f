#!/usr/bin/env bash
# Peak resident memory of lintrelc on a generated project of about 10 MB.
#   bench/peak_memory.sh [PLATFORM] [LINES] [STATEMENTS_PER_LINE] [late]
# Default: HT, 60,000 lines of 4 statements (~10 MB).
set -euo pipefail
cd "$(dirname "$0")/.."
platform=${1:-HT}
lines=${2:-60000}
per_line=${3:-4}
late=${4:-}
if [ ! -x /usr/bin/time ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq time
fi
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF -DLINTREL_BENCH=ON >/dev/null
cmake --build build/bench -j2 --target lintrelc lintrel_make_project
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/bench/lintrel_make_project "$platform" "$lines" "$per_line" $late > "$work/project.lpj"
mkdir -p "$work/Exports"
echo "project: $(stat -c %s "$work/project.lpj") bytes, $platform, $lines lines"
/usr/bin/time -v build/bench/app/lintrelc --exports "$work/Exports" --space-removal on "$work/project.lpj" \
  2> "$work/time.txt" || { cat "$work/time.txt"; exit 1; }
grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$work/time.txt"
ls -l "$work/Exports"
