// Pass 4, the tokenizer: keywords left to right, token literals, upper case,
// Homelab variable names, characters through the table, token literals again.
#include <algorithm>
#include <cstring>

#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

// At each place the first row in stored order whose text matches there wins;
// the scan goes on after the matched text, else one character passes. Calls
// `piece` with each stretch of text between keywords and `keyword` with each
// matched row, left to right.
bool secondMayMatch(const PlatformTables& tables, char first, char second) {
    const auto v = static_cast<unsigned char>(second);
    return (tables.keywordSeconds[upperAscii(static_cast<unsigned char>(first))][v / 64] >> (v % 64)) & 1;
}

// Whether the row's upper-cased text stands at `at`, any case; the first
// character is known to match.
bool matchesKeyword(std::string_view upper, std::string_view in, std::size_t at) {
    if (in.size() - at < upper.size()) return false;
    for (std::size_t k = 1; k < upper.size(); ++k) {
        if (upperAscii(static_cast<unsigned char>(in[at + k])) != static_cast<unsigned char>(upper[k])) return false;
    }
    return true;
}

template <typename Piece, typename Keyword>
void splitAtKeywords(const PlatformTables& tables, std::string_view in, Piece&& piece, Keyword&& keyword) {
    const auto rows = tables.platform->keywords;
    std::size_t plain = 0;  // start of the text not yet passed on
    std::size_t i = 0;
    while (i < in.size()) {
        // Characters that begin no keyword are skipped over in one run.
        while (i < in.size() && !tables.keywordStarts[static_cast<unsigned char>(in[i])]) ++i;
        if (i == in.size()) break;
        if (i + 1 < in.size() && !secondMayMatch(tables, in[i], in[i + 1])) {
            ++i;
            continue;
        }
        const auto& candidates = tables.keywordsByFirst[upperAscii(static_cast<unsigned char>(in[i]))];
        bool matched = false;
        for (const std::uint16_t r : candidates) {
            if (matchesKeyword(tables.keywordUpper[r], in, i)) {
                piece(in.substr(plain, i - plain));
                keyword(r);
                i += rows[r].text.size();
                plain = i;
                matched = true;
                break;
            }
        }
        if (!matched) ++i;
    }
    piece(in.substr(plain));
}

// The nibble encoding that follows is done here as well. Codes are token
// literals, and no literal of the joined text can take in part of a code (a
// "{" is no hex digit, a code's digits and "}" need its own "{" before them),
// so encoding the text between codes piece by piece and each code alone
// gives what encoding the whole joined text gives.
void replaceKeywords(const PlatformTables& tables, std::string_view in, std::string& out) {
    out.clear();
    splitAtKeywords(
        tables, in, [&](std::string_view piece) { appendNibbles(piece, out); },
        [&](std::uint16_t r) { out += tables.keywordNibbles[r]; });
}

int hexHalf(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Text written into a line that grows as needed; the caller sizes it once
// per piece for the most a piece can take.
class FinishedWriter {
public:
    explicit FinishedWriter(std::string& out) : out_(out) { out_.clear(); }
    char* room(std::size_t most) {
        if (out_.size() - used_ < most) out_.resize(std::max(2 * out_.size(), used_ + most));
        return out_.data() + used_;
    }
    void wrote(const char* end) { used_ = static_cast<std::size_t>(end - out_.data()); }
    ~FinishedWriter() { out_.resize(used_); }

private:
    std::string& out_;
    std::size_t used_ = 0;
};

char* writeFinished(const PlatformTables& tables, unsigned char c, char* write) {
    const std::string& text = tables.finishedBytes[c];
    if (text.size() == 1) {
        *write = text[0];
        return write + 1;
    }
    return std::copy(text.begin(), text.end(), write);
}

// A stretch without token literals, character by character.
char* writeFinishedRun(const PlatformTables& tables, std::string_view run, char* write) {
    if (!tables.finishedPacks) {
        for (const char c : run) write = writeFinished(tables, static_cast<unsigned char>(c), write);
        return write;
    }
    for (const char c : run) {
        const auto v = static_cast<unsigned char>(c);
        std::memcpy(write, &tables.finishedPacked[v], sizeof(std::uint64_t));
        write += tables.finishedLength[v];
    }
    return write;
}

// One stretch between keywords: its token literals as nibble pairs, then
// every character upper-cased and through the table, as the later steps
// would do to the joined line.
void appendFinishedPiece(const PlatformTables& tables, std::string_view in, FinishedWriter& out) {
    // Room for the longest form of every character, and for the last packed store.
    char* write = out.room(in.size() * tables.longestFinished + sizeof(std::uint64_t));
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t brace = std::min(in.find('{', i), in.size());
        write = writeFinishedRun(tables, in.substr(i, brace - i), write);
        i = brace;
        if (i == in.size()) break;
        if (in.size() - i >= 4 && in[i + 3] == '}') {
            const int high = hexHalf(static_cast<unsigned char>(in[i + 1]));
            const int low = hexHalf(static_cast<unsigned char>(in[i + 2]));
            if (high >= 0 && low >= 0) {
                write = writeFinished(tables, static_cast<unsigned char>(nibbleCharacter(high)), write);
                write = writeFinished(tables, static_cast<unsigned char>(nibbleCharacter(low)), write);
                i += 4;
                continue;
            }
        }
        write = writeFinished(tables, '{', write);
        ++i;
    }
    out.wrote(write);
}

// Keywords, upper case and the character pass in one scan. Upper case and the
// character pass change one character at a time, so doing them to each piece
// as it is written (and to each code once, in the tables) gives what doing
// them to the joined line gives.
void finishWithoutPacking(const PlatformTables& tables, std::string_view in, std::string& out) {
    FinishedWriter writer(out);
    splitAtKeywords(
        tables, in, [&](std::string_view piece) { appendFinishedPiece(tables, piece, writer); },
        [&](std::uint16_t r) {
            const std::string& code = tables.keywordFinished[r];
            writer.wrote(std::copy(code.begin(), code.end(), writer.room(code.size())));
        });
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
                appendNibblePair(out, x + 0x20);
                appendNibblePair(out, y);
            } else {
                appendNibblePair(out, x);
                appendNibblePair(out, y - 0x40);
            }
            i += 3;
        } else if (isCapital(x) && left >= 2 && endsName(static_cast<unsigned char>(in[i + 1]))) {
            if (in[i + 1] == '$') {
                appendNibblePair(out, x + 0x20);
            } else {
                appendNibblePair(out, x);
                appendNibblePair(out, 0x1F);
            }
            i += 2;
        } else {
            // Up to the next capital, nothing can start a name.
            std::size_t end = i + 1;
            while (end < in.size() && !isCapital(static_cast<unsigned char>(in[end]))) ++end;
            out.append(in, i, end - i);
            i = end;
        }
    }
}

// Character pass and the nibble encoding after it in one step. Codes are
// token literals, and the plain characters left between them cannot form a
// literal (any that stood in the line was encoded before), so writing each
// code's nibble pairs at once gives what encoding the joined text gives.
void translateCharacters(const PlatformTables& tables, std::string_view in, std::string& out) {
    out.resize(in.size() * tables.longestNibbles);
    char* write = out.data();
    for (const char c : in) {
        const std::string& nibbles = tables.characterNibbles[static_cast<unsigned char>(c)];
        if (nibbles.empty()) {
            *write++ = c;
        } else {
            write = std::copy(nibbles.begin(), nibbles.end(), write);
        }
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
}

// A listing is written as it stands, so a token literal there is the byte it
// names (no nibble pair, no upper case); the rest is upper-cased.
void finishTextLine(std::string_view in, std::string& out) {
    out.resize(in.size());  // written in place: a line never grows here
    char* write = out.data();
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t brace = std::min(in.find('{', i), in.size());
        for (; i < brace; ++i) *write++ = static_cast<char>(upperAscii(static_cast<unsigned char>(in[i])));
        if (i == in.size()) break;
        if (in.size() - i >= 4 && in[i + 3] == '}') {
            const int high = hexHalf(static_cast<unsigned char>(in[i + 1]));
            const int low = hexHalf(static_cast<unsigned char>(in[i + 2]));
            if (high >= 0 && low >= 0) {
                *write++ = static_cast<char>(high * 16 + low);
                i += 4;
                continue;
            }
        }
        *write++ = '{';
        ++i;
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
}

}  // namespace

void tokenizeLine(const PlatformTables& tables, std::string& line, std::string& scratch) {
    if (tables.platform->characters.empty()) {
        finishTextLine(line, scratch);
        line.swap(scratch);
        return;
    }
    if (!tables.platform->packsVariableNames) {
        finishWithoutPacking(tables, line, scratch);
        line.swap(scratch);
        return;
    }
    replaceKeywords(tables, line, scratch);
    line.swap(scratch);
    for (char& c : line) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
    if (tables.platform->packsVariableNames) {
        encodeHomelabNames(line, scratch);
        line.swap(scratch);
    }
    translateCharacters(tables, line, scratch);
    line.swap(scratch);
}

}  // namespace lintrel::passes
