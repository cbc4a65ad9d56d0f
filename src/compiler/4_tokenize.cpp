// Pass 4, the tokenizer: keywords left to right, token literals, upper case,
// Homelab variable names, characters through the table, token literals again.
#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

char nibble(unsigned value) { return static_cast<char>(0x80 + (value & 0x0F)); }

void appendPair(std::string& out, unsigned byte) {
    out += nibble(byte >> 4);
    out += nibble(byte);
}

// At each place the first row in stored order whose text matches there wins;
// the scan goes on after the matched text, else one character passes.
void replaceKeywords(const PlatformTables& tables, std::string_view in, std::string& out) {
    out.clear();
    const auto rows = tables.platform->keywords;
    std::size_t i = 0;
    while (i < in.size()) {
        const auto& candidates = tables.keywordsByFirst[upperAscii(static_cast<unsigned char>(in[i]))];
        bool matched = false;
        for (const std::uint16_t r : candidates) {
            const std::string_view text = rows[r].text;
            if (in.size() - i >= text.size() && equalsIgnoringCase(in.substr(i, text.size()), text)) {
                out += rows[r].code;
                i += text.size();
                matched = true;
                break;
            }
        }
        if (!matched) out += in[i++];
    }
}

bool isCapital(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool endsName(unsigned char c) { return c == '$' || c == '('; }

// All two-letter rules act before any one-letter rule. Two-letter matches
// never overlap one another, and a letter with "$" or "(" is left for a
// one-letter rule only when no letter stands before it; the left-to-right scan
// below meets every two-letter match before the one-letter match inside it.
void encodeHomelabNames(std::string_view in, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned char x = static_cast<unsigned char>(in[i]);
        const std::size_t left = in.size() - i;
        if (isCapital(x) && left >= 3 && isCapital(static_cast<unsigned char>(in[i + 1])) &&
            endsName(static_cast<unsigned char>(in[i + 2]))) {
            const unsigned y = static_cast<unsigned char>(in[i + 1]);
            if (in[i + 2] == '$') {
                appendPair(out, x + 0x20);
                appendPair(out, y);
            } else {
                appendPair(out, x);
                appendPair(out, y - 0x40);
            }
            i += 3;
        } else if (isCapital(x) && left >= 2 && endsName(static_cast<unsigned char>(in[i + 1]))) {
            if (in[i + 1] == '$') {
                appendPair(out, x + 0x20);
            } else {
                appendPair(out, x);
                appendPair(out, 0x1F);
            }
            i += 2;
        } else {
            out += in[i++];
        }
    }
}

void translateCharacters(const PlatformTables& tables, std::string_view in, std::string& out) {
    out.clear();
    for (const char c : in) {
        const std::string_view code = tables.characterCodes[static_cast<unsigned char>(c)];
        if (code.empty()) {
            out += c;
        } else {
            out += code;
        }
    }
}

}  // namespace

void tokenizeLine(const PlatformTables& tables, std::string& line, std::string& scratch) {
    replaceKeywords(tables, line, scratch);
    encodeNibbles(scratch, line);
    for (char& c : line) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
    if (tables.homelabNames) {
        encodeHomelabNames(line, scratch);
        line.swap(scratch);
    }
    translateCharacters(tables, line, scratch);
    encodeNibbles(scratch, line);
}

}  // namespace lintrel::passes
