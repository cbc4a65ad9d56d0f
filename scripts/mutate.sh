#!/usr/bin/env bash
# Mutation check of the import's boundaries: each row of the table changes
# one piece of text in a copy of the source, rebuilds the tests that hold
# that boundary, runs them and puts the file back. A mutant the tests fail
# on is killed; one they pass survived, and names a missing test.
#   scripts/mutate.sh [BUILD_DIR]      (default build/sanitized, configured already)
# Not part of CI: each mutant is a rebuild.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/sanitized}

# file @ text @ mutated text @ test binary (under BUILD_DIR) @ gtest filter
mutants=(
  "src/import/unnumber.cpp@(number < 1 || number > largest)@(number < 1 || number >= largest)@tests/import/import_tests@Boundaries.*"
  "src/import/unnumber.cpp@after > platform_.lineNumberLimit@after >= platform_.lineNumberLimit@tests/import/import_tests@Boundaries.*"
  "src/import/numbered_listing.cpp@number > kLargestNumber@number >= kLargestNumber@tests/import/import_tests@Boundaries.*"
  "src/compiler/line_references.cpp@if (number != 0 || zeroIsLine)@if (number != 0)@tests/import/import_tests@Boundaries.*"
  "src/images/readers.cpp@kSmallestRecord = 5;@kSmallestRecord = 4;@tests/images/images_tests@*DamagedImage*"
  "src/import/unnumber.cpp@isNameCharacter(line.listed.text[copied])) text += '\t';@false) text += '\t';@tests/import/import_tests@TypedCharacters.*"
  "src/import/unnumber.cpp@ && bytes[first] == '0') ++first;@ && false) ++first;@tests/import/import_tests@TypedCharacters.*"
  "src/import/numbered_listing.cpp@c == '|' ? \"{7C}\"@c == '!' ? \"{7C}\"@tests/import/import_tests@TypedCharacters.*"
  "src/import/numbered_listing.cpp@startsDirective(text, i) ? \"{26}\"@false ? \"{26}\"@tests/import/import_tests@TypedCharacters.*"
  "src/import/unnumber.cpp@(c >= 'a' && c <= 'z') || utf8Lead;@false || utf8Lead;@tests/import/import_tests@TypedCharacters.*"
  "src/import/numbered_listing.cpp@const bool glued = platform_@const bool glued = false && platform_@tests/import/import_tests@TypedCharacters.*"
  "src/import/unnumber.cpp@if (const auto difference = firstDifference(lines.bytes(j), stored.bytes(j)))@if (const auto difference = std::optional<std::string>())@tests/import/import_tests@TypedCharacters.*"
)

killed=0
survived=0
for row in "${mutants[@]}"; do
  IFS='@' read -r file from to binary filter <<<"$row"
  original=$(cat "$file"; printf x)
  original=${original%x}
  if [[ "$original" != *"$from"* ]]; then
    echo "not found in $file: $from"
    exit 2
  fi
  printf '%s' "${original/"$from"/"$to"}" >"$file"
  if cmake --build "$build" -j2 --target "$(basename "$binary")" >/dev/null 2>&1 &&
    "$build/$binary" --gtest_filter="$filter" >/dev/null 2>&1; then
    echo "SURVIVED  $file: $from -> $to"
    survived=$((survived + 1))
  else
    echo "killed    $file: $from -> $to"
    killed=$((killed + 1))
  fi
  printf '%s' "$original" >"$file"
done
cmake --build "$build" -j2 >/dev/null 2>&1
echo "killed $killed, survived $survived"
[ "$survived" -eq 0 ]
