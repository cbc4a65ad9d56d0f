// Keyword tables of the Homelab 2, Homelab 3 and TVC, in stored order. The
// keyword pass takes, at each place in a line, the first row whose text matches
// there, so a longer keyword stands before any shorter one it contains.
// Codes are token literals; texts are matched with ASCII letter case ignored.
#pragma once

#include <array>

#include "platforms/platforms.h"
#include "platforms/table_checks.h"

namespace lintrel {

// clang-format off
inline constexpr std::array<KeywordRow, 69> kHl2Keywords{{
    {"{A2}", "RESTORE"},    // 0
    {"{9E}", "RETURN"},     // 1
    {"{C2}", "POINT("},     // 2
    {"{94}", "GOSUB"},      // 3
    {"{9D}", "DEFFN"},      // 4
    {"{A8}", "PRINT"},      // 5
    {"{AE}", "INPUT"},      // 6
    {"{AF}", "STR$("},      // 7
    {"{B0}", "LFT$("},      // 8
    {"{B1}", "RGH$("},      // 9
    {"{B2}", "CHR$("},      // 10
    {"{B3}", "MID$("},      // 11
    {"{BA}", "PEEK("},      // 12
    {"{93}", "GOTO"},       // 13
    {"{96}", "CONT"},       // 14
    {"{97}", "DATA"},       // 15
    {"{98}", "LIST"},       // 16
    {"{99}", "READ"},       // 17
    {"{9A}", "NEXT"},       // 18
    {"{9C}", "POKE"},       // 19
    {"{9F}", "SAVE"},       // 20
    {"{A0}", "THEN"},       // 21
    {"{A1}", "LOAD"},       // 22
    {"{A3}", "STEP"},       // 23
    {"{AC}", "PLOT"},       // 24
    {"{AD}", "CALL"},       // 25
    {"{B4}", "INT("},       // 26
    {"{B5}", "ASC("},       // 27
    {"{B6}", "LEN("},       // 28
    {"{B7}", "ABS("},       // 29
    {"{B8}", "SGN("},       // 30
    {"{B9}", "COS("},       // 31
    {"{BB}", "SQR("},       // 32
    {"{BC}", "RND("},       // 33
    {"{BD}", "SIN("},       // 34
    {"{BE}", "TAN("},       // 35
    {"{BF}", "USR("},       // 36
    {"{C0}", "VAL("},       // 37
    {"{C1}", "ATN("},       // 38
    {"{C3}", "EXP("},       // 39
    {"{C4}", "LOG("},       // 40
    {"{C8}", "FRE("},       // 41
    {"{8D}", "AND"},        // 42
    {"{8F}", "CLR"},        // 43
    {"{90}", "DIM"},        // 44
    {"{91}", "END"},        // 45
    {"{92}", "FOR"},        // 46
    {"{A4}", "POP"},        // 47
    {"{A5}", "NEW"},        // 48
    {"{A9}", "RUN"},        // 49
    {"{AA}", "TRC"},        // 50
    {"{AB}", "NOT"},        // 51
    {"{88}", "DL"},         // 52
    {"{89}", "GL"},         // 53
    {"{8A}", "CR"},         // 54
    {"{8B}", "HM"},         // 55
    {"{8C}", "FN"},         // 56
    {"{8E}", "OR"},         // 57
    {"{95}", "IF"},         // 58
    {"{9B}", "ON"},         // 59
    {"{A6}", "TO"},         // 60
    {"{80}", "^"},          // 61
    {"{81}", "+"},          // 62
    {"{82}", "-"},          // 63
    {"{83}", "*"},          // 64
    {"{84}", "/"},          // 65
    {"{85}", ">"},          // 66
    {"{86}", "<"},          // 67
    {"{87}", "="},          // 68
}};

inline constexpr std::array<KeywordRow, 96> kHl3Keywords{{
    {"{E0}", "STRING$("},   // 0
    {"{A2}", "RESTORE"},    // 1
    {"{CF}", "VERIFY"},     // 2
    {"{D6}", "RETURN"},     // 3
    {"{D1}", "REPEAT"},     // 4
    {"{8C}{24}", "INKEY$"}, // 5: the "$" stays a plain 24 here, unlike row 94
    {"{D4}", "GOSUB#"},     // 6
    {"{D3}", "DELETE"},     // 7
    {"{D2}", "UNTIL"},      // 8
    {"{E4}", "ROUND("},     // 9
    {"{A8}", "PRINT"},      // 10
    {"{C2}", "POINT("},     // 11
    {"{CE}", "MERGE"},      // 12
    {"{AE}", "INPUT"},      // 13
    {"{8C}", "INKEY"},      // 14
    {"{D5}", "GOTO#"},      // 15
    {"{94}", "GOSUB"},      // 16
    {"{D7}", "FORM$("},     // 17
    {"{CC}", "ESAVE"},      // 18
    {"{CD}", "ELOAD"},      // 19
    {"{A0}", "THEN"},       // 20
    {"{AF}", "STR$("},      // 21
    {"{A3}", "STEP"},       // 22
    {"{9F}", "SAVE"},       // 23
    {"{B1}", "RGH$("},      // 24
    {"{99}", "READ"},       // 25
    {"{9C}", "POKE"},       // 26
    {"{AC}", "PLOT"},       // 27
    {"{BA}", "PEEK("},      // 28
    {"{9A}", "NEXT"},       // 29
    {"{B3}", "MID$("},      // 30
    {"{A1}", "LOAD"},       // 31
    {"{98}", "LIST"},       // 32
    {"{B0}", "LFT$("},      // 33
    {"{D8}", "HEX$("},      // 34
    {"{93}", "GOTO"},       // 35
    {"{D0}", "EDIT"},       // 36
    {"{97}", "DATA"},       // 37
    {"{96}", "CONT"},       // 38
    {"{B2}", "CHR$("},      // 39
    {"{AD}", "CALL"},       // 40
    {"{A7}", "BEEP"},       // 41
    {"{E3}", "VAR("},       // 42
    {"{C0}", "VAL("},       // 43
    {"{BF}", "USR("},       // 44
    {"{BE}", "TAN("},       // 45
    {"{BB}", "SQR("},       // 46
    {"{BD}", "SIN("},       // 47
    {"{B8}", "SGN("},       // 48
    {"{A9}", "RUN"},        // 49
    {"{BC}", "RND("},       // 50
    {"{89}", "REM"},        // 51
    {"{DE}", "PRG"},        // 52
    {"{A4}", "POP"},        // 53
    {"{AB}", "NOT"},        // 54
    {"{CA}", "NEW"},        // 55
    {"{AA}", "MON"},        // 56
    {"{DD}", "MOD("},       // 57
    {"{DA}", "MIN("},       // 58
    {"{DB}", "MAX("},       // 59
    {"{C4}", "LOG("},       // 60
    {"{B6}", "LEN("},       // 61
    {"{C9}", "KEY"},        // 62
    {"{B4}", "INT("},       // 63
    {"{DC}", "FSW(("},      // 64: two parentheses, as the machine's table has it
    {"{C8}", "FRE("},       // 65
    {"{DF}", "FRA("},       // 66
    {"{92}", "FOR"},        // 67
    {"{CB}", "EXT("},       // 68
    {"{C3}", "EXP(("},      // 69: two parentheses, as the machine's table has it
    {"{91}", "END"},        // 70
    {"{90}", "DIM"},        // 71
    {"{D9}", "DEC("},       // 72
    {"{8F}", "CUR"},        // 73
    {"{B9}", "COS("},       // 74
    {"{C1}", "ATN("},       // 75
    {"{B5}", "ASC("},       // 76
    {"{8D}", "AND"},        // 77
    {"{B7}", "ABS("},       // 78
    {"{A6}", "TO"},         // 79
    {"{88}", "PI"},         // 80
    {"{8E}", "OR"},         // 81
    {"{9B}", "ON"},         // 82
    {"{95}", "IF"},         // 83
    {"{8B}", "HM"},         // 84
    {"{8A}", "CR"},         // 85
    {"{80}", "^"},          // 86
    {"{81}", "+"},          // 87
    {"{82}", "-"},          // 88
    {"{83}", "*"},          // 89
    {"{84}", "/"},          // 90
    {"{85}", ">"},          // 91
    {"{86}", "<"},          // 92
    {"{87}", "="},          // 93
    {"{E2}", "$"},          // 94
    {"{E1}", "%"},          // 95
}};

inline constexpr std::array<KeywordRow, 102> kTvcKeywords{{
    {"{AC}", "RECTANGLE"},  // 0
    {"{C8}", "CHARACTER"},  // 1
    {"{CC}", "EXCEPTION"},  // 2
    {"{DC}", "RANDOMIZE"},  // 3
    {"{C6}", "DURATION"},   // 4
    {"{CD}", "RENUMBER"},   // 5
    {"{EE}", "GRAPHICS"},   // 6
    {"{F8}", "CONTINUE"},   // 7
    {"{AB}", "POLYGON"},    // 8
    {"{AD}", "ELLIPSE"},    // 9
    {"{BD}", "PALETTE"},    // 10
    {"{DA}", "RESTORE"},    // 11
    {"{AE}", "BORDER"},     // 12
    {"{B3}", "VOLUME"},     // 13
    {"{BA}", "PROMPT"},     // 14
    {"{C5}", "INKEY$"},     // 15
    {"{D0}", "LPRINT"},     // 16
    {"{D2}", "VERIFY"},     // 17
    {"{D9}", "RETURN"},     // 18
    {"{E1}", "OUTPUT"},     // 19
    {"{F6}", "DELETE"},     // 20
    {"{AF}", "USING"},      // 21
    {"{B7}", "STYLE"},      // 22
    {"{BB}", "PITCH"},      // 23
    {"{BC}", "PAPER"},      // 24
    {"{BE}", "PAINT"},      // 25
    {"{C7}", "DELAY"},      // 26
    {"{D3}", "TRACE"},      // 27
    {"{D5}", "SOUND"},      // 28
    {"{DD}", "PRINT"},      // 29
    {"{E7}", "LOMEM"},      // 30
    {"{E9}", "LLIST"},      // 31
    {"{EC}", "INPUT"},      // 32
    {"{F0}", "GOSUB"},      // 33
    {"{FA}", "CLOSE"},      // 34
    {"{B5}", "THEN"},       // 35
    {"{B8}", "STEP"},       // 36
    {"{B9}", "RATE"},       // 37
    {"{C3}", "MODE"},       // 38
    {"{CE}", "FKEY"},       // 39
    {"{CF}", "AUTO"},       // 40
    {"{D4}", "STOP"},       // 41
    {"{D7}", "SAVE"},       // 42
    {"{DB}", "READ"},       // 43
    {"{DE}", "POKE"},       // 44
    {"{DF}", "PLOT"},       // 45
    {"{E2}", "OPEN"},       // 46
    {"{E5}", "NEXT"},       // 47
    {"{E8}", "LOAD"},       // 48
    {"{EA}", "LIST"},       // 49
    {"{EF}", "GOTO"},       // 50
    {"{F4}", "ELSE"},       // 51
    {"{FB}", "DATA"},       // 52
    {"{B1}", "ATN"},        // 53
    {"{B2}", "XOR"},        // 54
    {"{B6}", "TAB"},        // 55
    {"{C0}", "ORD"},        // 56
    {"{C1}", "OFF"},        // 57
    {"{C2}", "NOT"},        // 58
    {"{C4}", "INK"},        // 59
    {"{C9}", "AND"},        // 60
    {"{D1}", "EXT"},        // 61
    {"{D6}", "SET"},        // 62
    {"{D8}", "RUN"},        // 63
    {"{E0}", "OUT"},        // 64
    {"{E6}", "NEW"},        // 65
    {"{EB}", "LET"},        // 66
    {"{F1}", "GET"},        // 67
    {"{F2}", "FOR"},        // 68
    {"{F3}", "END"},        // 69
    {"{F5}", "DIM"},        // 70
    {"{F7}", "DEF"},        // 71
    {"{F9}", "CLS"},        // 72
    {"{FC}", "REM"},        // 73
    {"{9B}", "<="},         // 74
    {"{9D}", "<>"},         // 75
    {"{9E}", ">="},         // 76
    {"{A3}", "=<"},         // 77
    {"{A5}", "><"},         // 78
    {"{A6}", "=>"},         // 79
    {"{B0}", "AT"},         // 80
    {"{B4}", "TO"},         // 81
    {"{BF}", "OR"},         // 82
    {"{E3}", "ON"},         // 83
    {"{E4}", "OK"},         // 84
    {"{ED}", "IF"},         // 85
    {"{95}", ")"},          // 86
    {"{96}", "("},          // 87
    {"{97}", "&"},          // 88
    {"{98}", "+"},          // 89
    {"{99}", "<"},          // 90
    {"{9A}", "="},          // 91
    {"{9C}", ">"},          // 92
    {"{9F}", "^"},          // 93
    {"{A0}", ";"},          // 94
    {"{A1}", "/"},          // 95
    {"{A2}", "-"},          // 96
    {"{A4}", ","},          // 97
    {"{A7}", "#"},          // 98
    {"{A8}", "*"},          // 99
    {"{FD}", ":"},          // 100
    {"{FE}", "!"},          // 101
}};

// clang-format on

static_assert(table_checks::keywordRowsAreWellFormed(kHl2Keywords));
static_assert(table_checks::keywordRowsAreWellFormed(kHl3Keywords));
static_assert(table_checks::keywordRowsAreWellFormed(kTvcKeywords));

static_assert(table_checks::textsAreUpperCase(kHl2Keywords));
static_assert(table_checks::textsAreUpperCase(kHl3Keywords));
static_assert(table_checks::textsAreUpperCase(kTvcKeywords));

// No row is hidden by an earlier one that begins it.
static_assert(table_checks::firstHiddenRow(kHl2Keywords) == kHl2Keywords.size());
static_assert(table_checks::firstHiddenRow(kHl3Keywords) == kHl3Keywords.size());
static_assert(table_checks::firstHiddenRow(kTvcKeywords) == kTvcKeywords.size());

// Every row names a token byte of its own; on the HL3 only INKEY (row 14)
// shares 8C with INKEY$ (row 5), which the machine stores as 8C 24.
static_assert(table_checks::firstRepeatedCode(kHl2Keywords) == kHl2Keywords.size());
static_assert(table_checks::firstRepeatedCode(kHl3Keywords) == 14);
static_assert(table_checks::firstRepeatedCode(kHl3Keywords, 15) == kHl3Keywords.size());
static_assert(table_checks::firstRepeatedCode(kTvcKeywords) == kTvcKeywords.size());

}  // namespace lintrel
