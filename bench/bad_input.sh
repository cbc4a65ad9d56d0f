#!/usr/bin/env bash
# Full-size bad input through lintrelc, each timed: projects of 10 MB and
# 100 MB (time should grow about tenfold), 1,000,000 labels, a 1 MB line,
# 100,000 braces, a binary file. Each must build or fail with a message.
#   bench/bad_input.sh
set -uo pipefail
cd "$(dirname "$0")/.."
if [ ! -x /usr/bin/time ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq time
fi
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF -DLINTREL_BENCH=ON >/dev/null
cmake --build build/bench -j2 --target lintrelc lintrel_make_project || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Exports"
make=build/bench/bench/lintrel_make_project

run() {  # run NAME FILE
  local status
  /usr/bin/time -q -f "%e s, %M KB peak" -o "$work/time.txt" \
    build/bench/app/lintrelc --exports "$work/Exports" "$2" > "$work/out.txt" 2>&1
  status=$?
  printf '%-22s %10s bytes  exit %d  %s  %s\n' "$1" "$(stat -c %s "$2")" "$status" "$(cat "$work/time.txt")" \
    "$(head -c 120 "$work/out.txt" | tr '\r\n' '  ')"
  [ $status -le 1 ] || echo "  ^ unexpected exit status"
}

# A program line made before "&P=" now stops the build, so the large
# projects name their platform first; BASIC numbers lines without a limit.
"$make" BASIC 92000 4 > "$work/p10.lpj"
"$make" BASIC 920000 4 > "$work/p100.lpj"
run "10 MB (BASIC)" "$work/p10.lpj"
run "100 MB (BASIC)" "$work/p100.lpj"

{ echo "&P=BASIC"; for i in $(seq 0 999999); do echo "\\L$i GOTO \\L$((i + 1))"; done; } > "$work/labels.lpj"
run "1,000,000 labels" "$work/labels.lpj"
{ echo "&P=BASIC"; for i in $(seq 0 999999); do echo "\\L$i GOTO \\M$i"; done; } > "$work/undefined.lpj"
run "1,000,000 undefined" "$work/undefined.lpj"
{ echo "&P=BASIC"; printf 'GOTO '; for i in $(seq 1 100000); do printf '\\nowhere:'; done; echo; } > "$work/line_warnings.lpj"
run "1 MB line of warnings" "$work/line_warnings.lpj"

{ echo "&P=HL2"; printf 'PRINT "'; head -c 1048576 /dev/zero | tr '\0' 'A'; echo; } > "$work/line.lpj"
run "1 MB line (HL2)" "$work/line.lpj"
{ echo "&P=BASIC"; printf 'PRINT "'; head -c 1048576 /dev/zero | tr '\0' 'A'; echo; } > "$work/line_basic.lpj"
run "1 MB line (BASIC)" "$work/line_basic.lpj"

{ echo "&P=HT"; head -c 100000 /dev/zero | tr '\0' '{'; echo; } > "$work/braces.lpj"
run "100,000 braces (HT)" "$work/braces.lpj"

head -c 1048576 /dev/urandom > "$work/binary.lpj"
run "binary 1 MB" "$work/binary.lpj"
{ echo "&P=HL2"; head -c 1048576 /dev/urandom; } > "$work/binary_hl2.lpj"
run "binary 1 MB (HL2)" "$work/binary_hl2.lpj"
