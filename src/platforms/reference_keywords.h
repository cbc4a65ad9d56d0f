// The keywords that take line numbers after them, and those after which no
// program follows (remarks, DATA items), as each machine's BASIC has them.
// The build's warnings and the import find line-number references with them.
#pragma once

#include <array>
#include <string_view>

namespace lintrel {

// What a keyword is followed by.
enum class Takes : unsigned char {
    None,
    NumberList,    // GOTO, GOSUB: a number, or several after ON, separated by commas
    Number,        // THEN, ELSE, RESTORE, RUN
    ResumeNumber,  // RESUME: 0 means the failing statement again, not a line
    Comparison,    // ERL: a number after =, <, > or a pair of them
    ErrorTrap,     // ERROR: "ON ERROR GOTO 0" turns trapping off, it names no line
    Remark,        // the rest of the line is not program
    DataItems,     // up to the next colon outside quotes
};

struct ReferenceKeyword {
    std::string_view text;
    Takes takes;
};

// clang-format off
inline constexpr std::array<ReferenceKeyword, 7> kHomelabReferences{{
    {"GOTO", Takes::NumberList}, {"GOSUB", Takes::NumberList}, {"THEN", Takes::Number},
    {"RESTORE", Takes::Number}, {"RUN", Takes::Number}, {"REM", Takes::Remark}, {"DATA", Takes::DataItems},
}};
// Microsoft-family BASIC of the HT-1080Z and the Primo.
inline constexpr std::array<ReferenceKeyword, 12> kMicrosoftReferences{{
    {"GOTO", Takes::NumberList}, {"GOSUB", Takes::NumberList},
    {"THEN", Takes::Number}, {"ELSE", Takes::Number},
    {"RESTORE", Takes::Number}, {"RUN", Takes::Number}, {"RESUME", Takes::ResumeNumber},
    {"ERL", Takes::Comparison}, {"ERROR", Takes::ErrorTrap}, {"REM", Takes::Remark}, {"'", Takes::Remark},
    {"DATA", Takes::DataItems},
}};
inline constexpr std::array<ReferenceKeyword, 9> kTvcReferences{{
    {"GOTO", Takes::NumberList}, {"GOSUB", Takes::NumberList},
    {"THEN", Takes::Number}, {"ELSE", Takes::Number},
    {"RESTORE", Takes::Number}, {"RUN", Takes::Number}, {"REM", Takes::Remark}, {"!", Takes::Remark},
    {"DATA", Takes::DataItems},
}};
// Platforms that store text: the keywords most BASICs share.
inline constexpr std::array<ReferenceKeyword, 12> kTextReferences{{
    {"GOTO", Takes::NumberList}, {"GOSUB", Takes::NumberList},
    {"THEN", Takes::Number}, {"ELSE", Takes::Number},
    {"RESTORE", Takes::Number}, {"RUN", Takes::Number}, {"RESUME", Takes::ResumeNumber},
    {"ERL", Takes::Comparison}, {"ERROR", Takes::ErrorTrap}, {"REM", Takes::Remark}, {"'", Takes::Remark},
    {"DATA", Takes::DataItems},
}};

}  // namespace lintrel
