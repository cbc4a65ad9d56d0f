#!/usr/bin/env bash
# Installs what is needed, builds Lintrel, compiles the bundled Homelab 2
# example with lintrelc and, where a display exists, opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_TESTS=OFF
cmake --build build/release
build/release/app/lintrelc examples/hl2/hello.lpj
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/app/lintrel
fi
