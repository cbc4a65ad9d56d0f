#!/usr/bin/env bash
# Every bundled and golden project through two lintrelc builds: the files
# written, the exit codes and what each prints must be the same, byte for byte.
#   bench/compare_outputs.sh OLD_LINTRELC NEW_LINTRELC
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
checked=0
differing=0
for project in examples/*/*.lpj tests/golden/*/*/*.lpj tests/golden/*/*.lpj; do
  [ -f "$project" ] || continue
  for space in on off; do
    for side in old new; do
      rm -rf "$work/$side" && mkdir -p "$work/$side"
      binary=$old; [ "$side" = new ] && binary=$new
      status=0
      (cd "$work/$side" && "$binary" --exports . --space-removal $space "$OLDPWD/$project" \
        > stdout.txt 2> stderr.txt) || status=$?
      echo "$status" > "$work/$side/status.txt"
      sed -i "s#$work/$side#DIR#g" "$work/$side/stdout.txt" "$work/$side/stderr.txt"
    done
    checked=$((checked + 1))
    if ! diff -r "$work/old" "$work/new" > /dev/null; then
      differing=$((differing + 1))
      echo "differs: $project (space removal $space)"
      diff -r "$work/old" "$work/new" | head -5
    fi
  done
done
echo "$checked builds compared, $differing differing"
[ "$differing" -eq 0 ]
