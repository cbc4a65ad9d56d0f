// ASCII helpers every part of the core shares: the machines' keywords,
// label names and token literals are compared and read with these.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

// Letters a-z to A-Z; every other byte as it is.
constexpr unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }
constexpr char upperAscii(char c) { return static_cast<char>(upperAscii(static_cast<unsigned char>(c))); }

// Equal with ASCII letter case ignored.
constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    }
    return true;
}

// `text` holds the upper-case `capitals` at `at`, any case.
constexpr bool startsWithLetters(std::string_view text, std::size_t at, std::string_view capitals) {
    return text.size() - at >= capitals.size() && equalsIgnoringCase(text.substr(at, capitals.size()), capitals);
}

// The value of one hexadecimal digit, either case; -1 for any other byte.
constexpr int hexDigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte a token literal "{XX}" at the start of `text` names, or -1 where
// none stands there.
constexpr int tokenLiteralAt(std::string_view text) {
    if (text.size() < 4 || text[0] != '{' || text[3] != '}') return -1;
    const int high = hexDigitValue(static_cast<unsigned char>(text[1]));
    const int low = hexDigitValue(static_cast<unsigned char>(text[2]));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// "{XX}" with upper-case digits.
inline std::string tokenLiteral(unsigned value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {'{', kDigits[(value >> 4) & 0x0F], kDigits[value & 0x0F], '}'};
}

}  // namespace lintrel
