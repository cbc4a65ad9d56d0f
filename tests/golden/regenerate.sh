#!/usr/bin/env bash
# Writes the expected images (images/**/*.hex, examples/**/*.hex), errors
# (failing/*.expected) and warnings (warnings/*.expected) from what the build
# makes of each project today.
# Run it on purpose after a change that should alter output, then read the
# diff before committing it:
#   tests/golden/regenerate.sh && git diff --stat tests/golden
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build/golden -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINTREL_GUI=OFF >/dev/null
cmake --build build/golden -j2 --target golden_test failing_test warnings_test
LINTREL_REGENERATE=1 build/golden/tests/golden/golden_test --gtest_brief=1
LINTREL_REGENERATE=1 build/golden/tests/golden/failing_test --gtest_brief=1
LINTREL_REGENERATE=1 build/golden/tests/golden/warnings_test --gtest_brief=1
git status --short tests/golden
