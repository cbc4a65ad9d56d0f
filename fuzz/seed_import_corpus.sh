#!/usr/bin/env bash
# Seeds fuzz/corpus/read_*/ and fuzz/corpus/import/ from the golden images
# (their .hex dumps) and the examples. The import target reads one choice
# byte before the file: bits 0-3 the platform row, bit 4 an image.
set -euo pipefail
cd "$(dirname "$0")"
add() {  # add TARGET FILE
  mkdir -p "corpus/$1"
  cp "$2" "corpus/$1/$(sha1sum "$2" | cut -c1-40)"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bytes() {  # the bytes of a .hex dump: "OFFSET: XX XX ...  |text|" after its file name
  tail -n +2 "$1" | sed -e 's/^[0-9a-f]*: //' -e 's/  |.*$//' | xxd -r -p
}
row=0
for machine in hl2 hl3 primo ht tvc; do
  case $machine in hl2 | hl3) reader=homelab ;; *) reader=$machine ;; esac
  choice=$(printf '%02x' $((0x10 + row)))
  for dump in ../tests/golden/images/$machine/*.hex; do
    bytes "$dump" > "$tmp/image"
    add "read_$reader" "$tmp/image"
    { printf "\\x$choice"; cat "$tmp/image"; } > "$tmp/choice"
    add import "$tmp/choice"
  done
  row=$((row + 1))
done
printf '\x03%s' $'10 PRINT "HI"\r\n20 GOTO 10\r\n' > "$tmp/listing" && add import "$tmp/listing"
printf '\x23%s' $'10 REM START\n5 GOSUB 10:ON X GOTO 10,20\n20 X\n' > "$tmp/listing" && add import "$tmp/listing"
printf '\x00%s' $'1000 REM DRAW BOARD\n1010 IF A THEN 1000\n' > "$tmp/listing" && add import "$tmp/listing"
