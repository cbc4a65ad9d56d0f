#!/usr/bin/env bash
# Product against reference over many generated projects (default 100,000).
#   bench/differential.sh [CASES] [FIRST_SEED]
# Prints each mismatch with its seed and a shrunken project; exit 1 on any.
# Reproduce one: build/differential/tests/reference/lintrel_differential --cases 1 --seed S
set -euo pipefail
cd "$(dirname "$0")/.."
cases=${1:-100000}
seed=${2:-1}
cmake -S . -B build/differential -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF >/dev/null
cmake --build build/differential -j2 --target lintrel_differential
time build/differential/tests/reference/lintrel_differential --cases "$cases" --seed "$seed"
