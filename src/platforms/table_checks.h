// Compile-time guards for the keyword and character tables: every code must be
// token literals the nibble-encoding pass can read, every source the size the
// lookups compare against.
#pragma once

#include <span>
#include <string_view>

#include "platforms/platforms.h"
#include "text/ascii.h"

namespace lintrel::table_checks {

enum class HexDigits { UpperOnly, AnyCase };

constexpr bool isHexDigit(char c, HexDigits digits) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return true;
    return digits == HexDigits::AnyCase && c >= 'a' && c <= 'f';
}

// One or more "{XX}" literals back to back, nothing else.
constexpr bool isTokenCode(std::string_view code, HexDigits digits = HexDigits::UpperOnly) {
    if (code.empty() || code.size() % 4 != 0) return false;
    for (std::size_t i = 0; i < code.size(); i += 4) {
        if (code[i] != '{' || code[i + 3] != '}') return false;
        if (!isHexDigit(code[i + 1], digits) || !isHexDigit(code[i + 2], digits)) return false;
    }
    return true;
}

// Keyword texts are matched inside program text, so they must be non-empty and
// free of the characters that never reach the keyword pass as plain text.
constexpr bool isKeywordText(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c == ' ' || c == '{' || c == '}' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

constexpr bool keywordRowsAreWellFormed(std::span<const KeywordRow> rows) {
    for (const KeywordRow& row : rows) {
        if (!isTokenCode(row.code) || !isKeywordText(row.text)) return false;
    }
    return true;
}

// Rows [twoByteFirst, twoByteEnd) carry two-byte sources; all others one byte.
constexpr bool characterRowsAreWellFormed(std::span<const CharacterRow> rows, HexDigits digits,
                                          std::size_t twoByteFirst = 0, std::size_t twoByteEnd = 0) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool twoBytes = i >= twoByteFirst && i < twoByteEnd;
        if (rows[i].source.size() != (twoBytes ? 2u : 1u)) return false;
        if (!isTokenCode(rows[i].code, digits)) return false;
    }
    return true;
}

constexpr bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return prefix.size() <= text.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Table order. The keyword pass takes the first row that matches at a place,
// so a row whose text begins with an earlier row's text is never reached:
// the first such row from `from` on, or the row count when there is none.
constexpr std::size_t firstHiddenRow(std::span<const KeywordRow> rows, std::size_t from = 0) {
    for (std::size_t later = from; later < rows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (startsWithIgnoringCase(rows[later].text, rows[earlier].text)) return later;
        }
    }
    return rows.size();
}

// Duplicate rows: the first row from `from` on whose code begins with the
// same token byte as an earlier row's, or the row count when there is none.
constexpr std::size_t firstRepeatedCode(std::span<const KeywordRow> rows, std::size_t from = 0) {
    for (std::size_t later = from; later < rows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (rows[later].code.substr(0, 4) == rows[earlier].code.substr(0, 4)) return later;
        }
    }
    return rows.size();
}

// Duplicate rows: a lookup takes the first row with a source, so a later row
// with the same source never matches. The first such row from `from` on, or
// the row count when there is none.
constexpr std::size_t firstRepeatedSource(std::span<const CharacterRow> rows, std::size_t from = 0) {
    for (std::size_t later = from; later < rows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (rows[later].source == rows[earlier].source) return later;
        }
    }
    return rows.size();
}

constexpr bool textsAreUpperCase(std::span<const KeywordRow> rows) {
    for (const KeywordRow& row : rows) {
        for (const char c : row.text) {
            if (c >= 'a' && c <= 'z') return false;
        }
    }
    return true;
}

}  // namespace lintrel::table_checks
