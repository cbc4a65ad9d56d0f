#!/usr/bin/env bash
# Seeds fuzz/corpus/<target>/ from examples/ and a few corner-case projects.
# The build targets read one option byte (bit 0: space removal) before the file.
# Files are named by their SHA-1, as libFuzzer names what it adds.
set -euo pipefail
cd "$(dirname "$0")"
add() {  # add TARGET FILE
  local name
  name=$(sha1sum "$2" | cut -c1-40)
  cp "$2" "corpus/$1/$name"
}
mkdir -p corpus/build corpus/differential corpus/project_loading corpus/version_answer
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i=0
seed() {  # seed OPTION_BYTE PROJECT_TEXT
  i=$((i + 1))
  printf '%s' "$2" > "$tmp/raw$i"
  printf "\\x$1" > "$tmp/opt$i"
  cat "$tmp/raw$i" >> "$tmp/opt$i"
  add project_loading "$tmp/raw$i"
  add build "$tmp/opt$i"
  add differential "$tmp/opt$i"
}
for example in ../examples/*/*.lpj; do
  [ -e "$example" ] || continue
  seed 01 "$(cat "$example")"
  seed 00 "$(cat "$example")"
done
seed 01 $'&P=HL2\r\n\\x1\r\n\\long GOTO \\x\\long\r\n'
seed 01 $'&P=HT\r\n\\a\\b GOTO \\a\\b:GOTO \\a\r\nPRINT TAB(5);"X":A=USR(0)\r\n'
seed 00 $'&P=PRIMO\r\nDATA "A:B",C:PRINT \'x\r\n\' REM "DATA"\r\nIF A THEN 20 ELSE 30\r\n'
seed 01 $'&P=TVC\r\nFOR D=1 TO 9:print "\xe1\xdb"\r\nA(1)=B$\r\n'
seed 01 $'&P=HL3\r\nA$=INKEY$:X=EXP((1)+FSW((2)\r\nPRINT "rem" rem "x\r\n'
seed 01 $'PRINT {41}{{41}}{4\r\n&P=BASIC\r\n\\ PRINT \\\r\n{G1}\r\n'
seed 01 $'&P=HL2\r\n&C=32750\r\n&I=10\r\nEND\r\nEND\r\n'
seed 01 $'&P=ABC80\r\n&C=5\r\n&C=4\r\n'
seed 01 $'&P=HL2 |x\r\nPRINT "A B" &I=1O\r\n'
seed 01 $'&P=HT\rPRINT 1\rPRINT "\x85"\r'
seed 00 $'&E=emu.exe -run x|c\n&P=PRIMO\nCHAR(39) \' A\tB\n'

# The version-answer target takes the bytes as the server's whole answer.
answer() {  # answer TEXT (printf %b escapes)
  printf '%b' "$1" > "$tmp/answer"
  add version_answer "$tmp/answer"
}
answer 'v1.7.1b - test version'
answer 'v1.7.1b - test version\r\n'
answer ' \t v1.7.1b - test version \v\f\n\n'
answer 'v1.8.0'
answer ''
answer ' \r\n'
answer '<html><body><h1>404 Not Found</h1></body></html>\r\n'
answer 'v2.0\x1b]0;title\x07'
answer 'v1.7.1b\x00 - test version'
answer "v$(printf '%0256d' 0)"

# The settings target takes the bytes as a whole Options.ini.
mkdir -p corpus/options_file corpus/diagnostic_text
settings() {  # settings TEXT (printf %b escapes)
  printf '%b' "$1" > "$tmp/settings"
  add options_file "$tmp/settings"
}
settings ''
settings '[Parameters]'
settings '[Parameters]\r\nSWVer=v1.7.1b\r\nSpace_Remove=0\r\nZoom=150\r\nColour_Scheme=dark\r\nRecent1=/tmp/a.lpj\r\nRecent2=/tmp/a.lpj\r\nRecent3=/\r\nApproved_Emulator_Command_1="emu -run x"\r\nApproved_Emulator_Command_3=" y "\r\n'
settings '; comment\n[Other]\nZoom=999\n\n[ parameters ]\n  line_numbers = 0 \nBuild_Dialogs=+1\nCurrent_Line=2\nZoom=abc\n[Parameters]\nRecent1=\nRecent4=x\n'
settings 'Zoom=100\r[x]\rSpace_Remove\r[Parameters\r#Zoom=50\r[a=b]\r\nUpdate_Server=http://h:1\r\nManual_Address=\r\n'
settings '[Parameters]\r\nApproved_Emulator_Command_1=""\r\nApproved_Emulator_Command_2="\r\nApproved_Emulator_Command_1000=z\r\nApproved_Emulator_Command_1001=w\r\n'

# The diagnostic target: five header bytes (path length, message length,
# line + 1, column low, column high), then the path, the message, the project.
diagnostic() {  # diagnostic PATH MESSAGE LINE COLUMN PROJECT (PATH, MESSAGE, PROJECT: printf %b escapes)
  local path message
  path=$(printf '%b' "$1" | wc -c)
  message=$(printf '%b' "$2" | wc -c)
  { printf "\\x$(printf %02x "$path")\\x$(printf %02x "$message")\\x$(printf %02x "$3")"
    printf "\\x$(printf %02x $(($4 & 255)))\\x$(printf %02x $(($4 >> 8)))"
    printf '%b%b%b' "$1" "$2" "$5"; } > "$tmp/diagnostic"
  add diagnostic_text "$tmp/diagnostic"
}
diagnostic 'game.lpj' '"HL4" is not a valid platform!' 2 3 '&C=10\r\n&P=HL4 |target\r\n'
diagnostic '\x1b]0;x\x07.lpj' 'msg \x1b[2J' 1 0 'PRINT "\x1b[2J"\r\n'
diagnostic 'p' 'long' 1 300 "$(printf '%01000d' 0)\\r\\n"
diagnostic 'p' 'tabs' 1 5 '\tA\tB\x7f\x85\x9f\xe1\r\n'
diagnostic '\xff\xfe' '\x80\x81' 0 0 'x'
