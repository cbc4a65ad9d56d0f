#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the core and lintrelc
# under AddressSanitizer and UndefinedBehaviorSanitizer, then in a plain
# Release build, then the window offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build/sanitized -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINTREL_GUI=OFF -DLINTREL_SANITIZE=ON
cmake --build build/sanitized
ctest --test-dir build/sanitized --output-on-failure -j2

# The core and lintrelc as shipped: optimised, the C++ library linked in,
# no sanitizer (a test may hold under one and not the other). No window.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF
cmake --build build/release
ctest --test-dir build/release --output-on-failure -j2

cmake -S . -B build/window -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINTREL_CORE_TESTS=OFF
cmake --build build/window
QT_QPA_PLATFORM=offscreen ctest --test-dir build/window --output-on-failure
