#!/usr/bin/env bash
# Builds the fuzzers with clang, runs each for SECONDS (default 450) on a
# working copy of its corpus, then merges what adds coverage back into
# fuzz/corpus/<target>/ (-merge=1 keeps it small). Crashes land in build/fuzz/crashes/.
#   fuzz/run.sh [SECONDS] [TARGET...]      targets: build project_loading differential version_answer
#                                          options_file diagnostic_text read_homelab read_primo read_ht
#                                          read_tvc import lsp_message
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --fuzz
seconds=${1:-450}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(build project_loading differential version_answer options_file diagnostic_text
  read_homelab read_primo read_ht read_tvc import lsp_message)
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLINTREL_FUZZ=ON -DLINTREL_GUI=OFF -DLINTREL_TESTS=OFF >/dev/null
cmake --build build/fuzz -j2 $(printf -- '--target fuzz_%s ' "${targets[@]}")
mkdir -p build/fuzz/crashes
for target in "${targets[@]}"; do
  work=build/fuzz/work/$target
  mkdir -p "$work"
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  max_len=8192
  [ "$target" = version_answer ] && max_len=1024  # past 257 bytes every answer is too long alike
  [ "$target" = options_file ] && max_len=4096    # each run reads every key through the whole file
  [ "$target" = lsp_message ] && max_len=20000    # past the 8 KB header line limit
  nice -n 10 build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len=$max_len -timeout=30 \
    -artifact_prefix=build/fuzz/crashes/"$target"- "$work" 2>&1 | tail -4 || echo "$target: fuzzer stopped (see build/fuzz/crashes)"
  build/fuzz/fuzz/fuzz_"$target" -merge=1 fuzz/corpus/"$target" "$work" 2>&1 | tail -1
done
