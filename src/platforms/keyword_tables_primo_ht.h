// Keyword tables of the Primo and the HT-1080Z, in stored order. Both machines
// run Microsoft-family BASICs and share most token bytes. The keyword pass takes,
// at each place in a line, the first row whose text matches there, so a longer
// keyword stands before any shorter one it contains.
//
// Row 0 of both tables stands for the apostrophe remark; ELSE always carries its
// colon, because both machines store ELSE as 3A 95 even where a colon is typed.
#pragma once

#include <array>

#include "platforms/platforms.h"
#include "platforms/table_checks.h"

namespace lintrel {

// clang-format off
inline constexpr std::array<KeywordRow, 122> kPrimoKeywords{{
    {"{FB}", "'"},          // 0: the apostrophe remark; the assembler stores it as 3A 93 FB
    {"{90}", "RESTORE"},    // 1
    {"{C4}", "STRING$"},    // 2
    {"{86}", "RANDOM"},     // 3
    {"{92}", "RETURN"},     // 4
    {"{98}", "DEFSTR"},     // 5
    {"{99}", "DEFINT"},     // 6
    {"{9A}", "DEFSNG"},     // 7
    {"{9B}", "DEFDBL"},     // 8
    {"{9F}", "RESUME"},     // 9
    {"{AB}", "CREATE"},     // 10
    {"{AE}", "SCREEN"},     // 11
    {"{AF}", "LPRINT"},     // 12
    {"{B6}", "DELETE"},     // 13
    {"{C0}", "VARPTR"},     // 14
    {"{C9}", "INKEY$"},     // 15
    {"{F9}", "RIGHT$"},     // 16
    {"{82}", "RESET"},      // 17
    {"{89}", "INPUT"},      // 18
    {"{91}", "GOSUB"},      // 19
    {"{97}", "TROFF"},      // 20
    {"{9E}", "ERROR"},      // 21
    {"{A3}", "FIELD"},      // 22
    {"{A6}", "CLOSE"},      // 23
    {"{A8}", "MERGE"},      // 24
    {"{B2}", "PRINT"},      // 25
    {"{B5}", "LLIST"},      // 26
    {"{B8}", "CLEAR"},      // 27
    {"{B9}", "CLOAD"},      // 28
    {"{BA}", "CSAVE"},      // 29
    {"{BF}", "USING"},      // 30
    {"{C5}", "INSTR"},      // 31
    {"{C6}", "POINT"},      // 32
    {"{C7}", "TIME$"},      // 33
    {"{F8}", "LEFT$"},      // 34
    {"{87}", "NEXT"},       // 35
    {"{88}", "DATA"},       // 36
    {"{8B}", "READ"},       // 37
    {"{8D}", "GOTO"},       // 38
    {"{94}", "STOP"},       // 39
    {"{3A}{95}", "ELSE"},   // 40: the machine stores ELSE behind a colon
    {"{96}", "TRON"},       // 41
    {"{9C}", "BEEP"},       // 42
    {"{9D}", "EDIT"},       // 43
    {"{A2}", "OPEN"},       // 44
    {"{A7}", "LOAD"},       // 45
    {"{A9}", "TEST"},       // 46
    {"{AA}", "KILL"},       // 47
    {"{AD}", "SAVE"},       // 48
    {"{B1}", "POKE"},       // 49
    {"{B3}", "CONT"},       // 50
    {"{B4}", "LIST"},       // 51
    {"{B7}", "AUTO"},       // 52
    {"{BC}", "TAB("},       // 53
    {"{C1}", "CALL"},       // 54
    {"{CA}", "THEN"},       // 55
    {"{CC}", "STEP"},       // 56
    {"{E5}", "PEEK"},       // 57
    {"{EC}", "MKI$"},       // 58
    {"{ED}", "MKS$"},       // 59
    {"{EE}", "MKD$"},       // 60
    {"{EF}", "CINT"},       // 61
    {"{F0}", "CSNG"},       // 62
    {"{F1}", "CDBL"},       // 63
    {"{F4}", "STR$"},       // 64
    {"{F7}", "CHR$"},       // 65
    {"{FA}", "MID$"},       // 66
    {"{80}", "END"},        // 67
    {"{81}", "FOR"},        // 68
    {"{83}", "SET"},        // 69
    {"{84}", "CLS"},        // 70
    {"{85}", "CMD"},        // 71
    {"{8A}", "DIM"},        // 72
    {"{8C}", "LET"},        // 73
    {"{8E}", "RUN"},        // 74
    {"{93}", "REM"},        // 75
    {"{A0}", "OUT"},        // 76
    {"{A4}", "GET"},        // 77
    {"{A5}", "PUT"},        // 78
    {"{B0}", "DEF"},        // 79
    {"{BB}", "NEW"},        // 80
    {"{C2}", "ERL"},        // 81
    {"{C3}", "ERR"},        // 82
    {"{CB}", "NOT"},        // 83
    {"{D2}", "AND"},        // 84
    {"{D7}", "SGN"},        // 85
    {"{D8}", "INZ"},        // 86: INZ, not INT, as the machine's table has it
    {"{D9}", "ABS"},        // 87
    {"{DA}", "FRE"},        // 88
    {"{DB}", "INP"},        // 89
    {"{DC}", "POS"},        // 90
    {"{DD}", "SQR"},        // 91
    {"{DE}", "RND"},        // 92
    {"{DF}", "LOG"},        // 93
    {"{E0}", "EXP"},        // 94
    {"{E1}", "COS"},        // 95
    {"{E2}", "SIN"},        // 96
    {"{E3}", "TAN"},        // 97
    {"{E4}", "ATN"},        // 98
    {"{E6}", "CVI"},        // 99
    {"{E7}", "CVS"},        // 100
    {"{E8}", "CVD"},        // 101
    {"{E9}", "EOF"},        // 102
    {"{EA}", "LOC"},        // 103
    {"{EB}", "LOF"},        // 104
    {"{F2}", "FIX"},        // 105
    {"{F3}", "LEN"},        // 106
    {"{F5}", "VAL"},        // 107
    {"{F6}", "ASC"},        // 108
    {"{8F}", "IF"},         // 109
    {"{A1}", "ON"},         // 110
    {"{AC}", "FN"},         // 111
    {"{BD}", "TO"},         // 112
    {"{BE}", "FN"},         // 113: repeats row 111: never matches, kept in its place
    {"{C8}", "PI"},         // 114
    {"{D3}", "OR"},         // 115
    {"{CD}", "+"},          // 116
    {"{CE}", "-"},          // 117
    {"{CF}", "*"},          // 118
    {"{D0}", "/"},          // 119
    {"{D1}", "^"},          // 120
    {"{D5}", "="},          // 121
}};

inline constexpr std::array<KeywordRow, 124> kHtKeywords{{
    {"{FB}", "'"},          // 0: the apostrophe remark; the assembler stores it as 3A 93 FB
    {"{90}", "RESTORE"},    // 1
    {"{C4}", "STRING$"},    // 2
    {"{86}", "RANDOM"},     // 3
    {"{92}", "RETURN"},     // 4
    {"{98}", "DEFSTR"},     // 5
    {"{99}", "DEFINT"},     // 6
    {"{9A}", "DEFSNG"},     // 7
    {"{9B}", "DEFDBL"},     // 8
    {"{9F}", "RESUME"},     // 9
    {"{AE}", "SYSTEM"},     // 10
    {"{AF}", "LPRINT"},     // 11
    {"{B6}", "DELETE"},     // 12
    {"{C0}", "VARPTR"},     // 13: the machine's keyword for C0
    {"{C9}", "INKEY$"},     // 14
    {"{F9}", "RIGHT$"},     // 15
    {"{82}", "RESET"},      // 16
    {"{89}", "INPUT"},      // 17
    {"{91}", "GOSUB"},      // 18
    {"{97}", "TROFF"},      // 19
    {"{9E}", "ERROR"},      // 20
    {"{A3}", "FIELD"},      // 21
    {"{A6}", "CLOSE"},      // 22
    {"{A8}", "MERGE"},      // 23
    {"{B2}", "PRINT"},      // 24
    {"{B5}", "LLIST"},      // 25
    {"{B8}", "CLEAR"},      // 26
    {"{B9}", "CLOAD"},      // 27
    {"{BA}", "CSAVE"},      // 28
    {"{BF}", "USING"},      // 29: the machine's keyword for BF
    {"{C5}", "INSTR"},      // 30
    {"{C6}", "POINT"},      // 31
    {"{C7}", "TIME$"},      // 32
    {"{F8}", "LEFT$"},      // 33
    {"{87}", "NEXT"},       // 34
    {"{88}", "DATA"},       // 35
    {"{8B}", "READ"},       // 36
    {"{8D}", "GOTO"},       // 37
    {"{94}", "STOP"},       // 38
    {"{3A}{95}", "ELSE"},   // 39: the machine stores ELSE behind a colon
    {"{96}", "TRON"},       // 40
    {"{9C}", "LINE"},       // 41
    {"{9D}", "EDIT"},       // 42
    {"{A2}", "OPEN"},       // 43
    {"{A7}", "LOAD"},       // 44
    {"{A9}", "NAME"},       // 45
    {"{AA}", "KILL"},       // 46
    {"{AB}", "LSET"},       // 47
    {"{AC}", "RSET"},       // 48
    {"{AD}", "SAVE"},       // 49
    {"{B1}", "POKE"},       // 50
    {"{B3}", "CONT"},       // 51
    {"{B4}", "LIST"},       // 52
    {"{B7}", "AUTO"},       // 53
    {"{C1}", "USR"},        // 54: the machine's keyword for C1
    {"{CA}", "THEN"},       // 55
    {"{CC}", "STEP"},       // 56
    {"{E5}", "PEEK"},       // 57
    {"{EC}", "MKI$"},       // 58
    {"{ED}", "MKS$"},       // 59
    {"{EE}", "MKD$"},       // 60
    {"{EF}", "CINT"},       // 61
    {"{F0}", "CSNG"},       // 62
    {"{F1}", "CDBL"},       // 63
    {"{F4}", "STR$"},       // 64
    {"{F7}", "CHR$"},       // 65
    {"{FA}", "MID$"},       // 66
    {"{80}", "END"},        // 67
    {"{81}", "FOR"},        // 68
    {"{83}", "SET"},        // 69
    {"{84}", "CLS"},        // 70
    {"{85}", "CMD"},        // 71
    {"{8A}", "DIM"},        // 72
    {"{8C}", "LET"},        // 73
    {"{8E}", "RUN"},        // 74
    {"{93}", "REM"},        // 75
    {"{A0}", "OUT"},        // 76
    {"{A4}", "GET"},        // 77
    {"{A5}", "PUT"},        // 78
    {"{B0}", "DEF"},        // 79
    {"{BB}", "NEW"},        // 80
    {"{BC}", "TAB("},       // 81: the machine's TAB token includes the parenthesis
    {"{C2}", "ERL"},        // 82
    {"{C3}", "ERR"},        // 83
    {"{C8}", "MEM"},        // 84
    {"{CB}", "NOT"},        // 85
    {"{D2}", "AND"},        // 86
    {"{D7}", "SGN"},        // 87
    {"{D8}", "INT"},        // 88
    {"{D9}", "ABS"},        // 89
    {"{DA}", "FRE"},        // 90
    {"{DB}", "INP"},        // 91
    {"{DC}", "POS"},        // 92
    {"{DD}", "SQR"},        // 93
    {"{DE}", "RND"},        // 94
    {"{DF}", "LOG"},        // 95
    {"{E0}", "EXP"},        // 96
    {"{E1}", "COS"},        // 97
    {"{E2}", "SIN"},        // 98
    {"{E3}", "TAN"},        // 99
    {"{E4}", "ATN"},        // 100
    {"{E6}", "CVI"},        // 101
    {"{E7}", "CVS"},        // 102
    {"{E8}", "CVD"},        // 103
    {"{E9}", "EOF"},        // 104
    {"{EA}", "LOC"},        // 105
    {"{EB}", "LOF"},        // 106
    {"{F2}", "FIX"},        // 107
    {"{F3}", "LEN"},        // 108
    {"{F5}", "VAL"},        // 109
    {"{F6}", "ASC"},        // 110
    {"{8F}", "IF"},         // 111
    {"{A1}", "ON"},         // 112
    {"{BD}", "TO"},         // 113
    {"{BE}", "FN"},         // 114
    {"{D3}", "OR"},         // 115
    {"{CD}", "+"},          // 116
    {"{CE}", "-"},          // 117
    {"{CF}", "*"},          // 118
    {"{D0}", "/"},          // 119
    {"{D1}", "^"},          // 120
    {"{D4}", ">"},          // 121
    {"{D5}", "="},          // 122
    {"{D6}", "<"},          // 123
}};

// clang-format on

static_assert(table_checks::keywordRowsAreWellFormed(kPrimoKeywords));
static_assert(table_checks::keywordRowsAreWellFormed(kHtKeywords));

static_assert(table_checks::textsAreUpperCase(kPrimoKeywords));
static_assert(table_checks::textsAreUpperCase(kHtKeywords));

// No row is hidden by an earlier one that begins it, but for the Primo's
// second FN (row 113), repeated as the machine's table has it.
static_assert(table_checks::firstHiddenRow(kPrimoKeywords) == 113);
static_assert(table_checks::firstHiddenRow(kPrimoKeywords, 114) == kPrimoKeywords.size());
static_assert(table_checks::firstHiddenRow(kHtKeywords) == kHtKeywords.size());

// Every row names a token byte of its own.
static_assert(table_checks::firstRepeatedCode(kPrimoKeywords) == kPrimoKeywords.size());
static_assert(table_checks::firstRepeatedCode(kHtKeywords) == kHtKeywords.size());

}  // namespace lintrel
