// Pass 3, the tokenizer: a line's pieces into its bytes. In text, token
// literals first; then, between them, keywords left to right, upper case,
// Homelab variable names and the characters through the table.
#include <algorithm>

#include "compiler/tokenizer.h"
#include "text/ascii.h"

namespace lintrel::passes {
namespace {

// Bytes appended in place: room is made for the most a stretch can take,
// eight bytes of slack included, and the end trimmed once.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<unsigned char>& out) : out_(out), used_(out.size()) {}
    ~ByteWriter() { out_.resize(used_); }
    // The vector's own growth keeps appends amortized; only the room asked
    // for is zero-filled.
    unsigned char* room(std::size_t most) {
        if (out_.size() - used_ < most + sizeof(std::uint64_t)) out_.resize(used_ + most + sizeof(std::uint64_t));
        return out_.data() + used_;
    }
    void wrote(unsigned char* end) { used_ = static_cast<std::size_t>(end - out_.data()); }
    void put(unsigned char byte) { *room(1) = byte, ++used_; }
    void put(const PackedBytes& code) { wrote(code.writeTo(room(code.size))); }

private:
    std::vector<unsigned char>& out_;
    std::size_t used_;
};

bool secondMayMatch(const PlatformTables& tables, unsigned char first, unsigned char second) {
    return (tables.keywordSeconds[upperAscii(first)][second / 64] >> (second % 64)) & 1;
}

// Whether the row's upper-cased text stands at `at`, any case; the first
// character is known to match.
bool matchesKeyword(std::string_view upper, std::string_view in, std::size_t at) {
    if (in.size() - at < upper.size()) return false;
    for (std::size_t k = 1; k < upper.size(); ++k) {
        if (upperAscii(in[at + k]) != upper[k]) return false;
    }
    return true;
}

// At each place the first row in stored order whose text matches there wins;
// the scan goes on after the matched text, else one character passes. Calls
// `piece` with each stretch of text between keywords and `keyword` with each
// matched row, left to right.
template <typename Piece, typename Keyword>
void splitAtKeywords(const PlatformTables& tables, std::string_view in, Piece&& piece, Keyword&& keyword) {
    const auto rows = tables.platform->keywords;
    std::size_t plain = 0;  // start of the text not yet passed on
    std::size_t i = 0;
    while (i < in.size()) {
        // Characters that begin no keyword are skipped over in one run.
        while (i < in.size() && !tables.keywordStarts[static_cast<unsigned char>(in[i])]) ++i;
        if (i == in.size()) break;
        const auto first = static_cast<unsigned char>(in[i]);
        if (i + 1 < in.size() && !secondMayMatch(tables, first, static_cast<unsigned char>(in[i + 1]))) {
            ++i;
            continue;
        }
        bool matched = false;
        for (const std::uint16_t r : tables.keywordsByFirst[upperAscii(first)]) {
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

constexpr bool isCodeRange(unsigned char c) { return (c & 0xF0) == 0x80; }

// Characters upper-cased and through the table. One without a code stays as
// it is and is noted (a byte 0x80-0x8F the assembler has noted already).
void writeCharacters(const PlatformTables& tables, std::string_view run, ByteWriter& out, Untranslated& missing) {
    unsigned char* write = out.room(run.size() * sizeof(std::uint64_t));
    for (const char c : run) {
        const auto v = static_cast<unsigned char>(c);
        write = tables.finished[v].writeTo(write);
        if (!tables.finishedHasCode[v] && !isCodeRange(upperAscii(v))) missing.add(upperAscii(v));
    }
    out.wrote(write);
}

bool isCapital(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool endsName(char c) { return c == '$' || c == '('; }

// Homelab names before "$" and "(" are stored packed. All two-letter rules
// act before any one-letter rule. Two-letter matches never overlap one
// another, and a letter with "$" or "(" is left for a one-letter rule only
// when no letter stands before it; the left-to-right scan below meets every
// two-letter match before the one-letter match inside it. `in` is upper case.
void writePackedNames(const PlatformTables& tables, std::string_view in, ByteWriter& out, Untranslated& missing) {
    std::size_t i = 0;
    while (i < in.size()) {
        const auto x = static_cast<unsigned char>(in[i]);
        const std::size_t left = in.size() - i;
        if (isCapital(x) && left >= 3 && isCapital(static_cast<unsigned char>(in[i + 1])) && endsName(in[i + 2])) {
            const auto y = static_cast<unsigned char>(in[i + 1]);
            if (in[i + 2] == '$') {
                out.put(static_cast<unsigned char>(x + 0x20));
                out.put(y);
            } else {
                out.put(x);
                out.put(static_cast<unsigned char>(y - 0x40));
            }
            i += 3;
        } else if (isCapital(x) && left >= 2 && endsName(in[i + 1])) {
            if (in[i + 1] == '$') {
                out.put(static_cast<unsigned char>(x + 0x20));
            } else {
                out.put(x);
                out.put(0x1F);
            }
            i += 2;
        } else {
            // Up to the next capital, nothing can start a name.
            std::size_t end = i + 1;
            while (end < in.size() && !isCapital(static_cast<unsigned char>(in[end]))) ++end;
            writeCharacters(tables, in.substr(i, end - i), out, missing);
            i = end;
        }
    }
}

// Text between token literals: keywords, then each stretch between them.
void writeText(const PlatformTables& tables, std::string_view text, ByteWriter& out, Untranslated& missing,
               std::string& upper) {
    const bool packs = tables.platform->packsVariableNames;
    splitAtKeywords(
        tables, text,
        [&](std::string_view piece) {
            if (!packs) return writeCharacters(tables, piece, out, missing);
            upper.assign(piece);
            for (char& c : upper) c = upperAscii(c);
            writePackedNames(tables, upper, out, missing);
        },
        [&](std::uint16_t r) { out.put(tables.keywordCodes[r]); });
}

// A text piece: every token literal is the byte it names; `stretch` takes
// the text between them.
template <typename Stretch>
void splitAtLiterals(std::string_view text, ByteWriter& out, Stretch&& stretch) {
    std::size_t from = 0;
    std::size_t i = 0;
    while ((i = text.find('{', i)) != std::string_view::npos) {
        const int value = tokenLiteralAt(text.substr(i));
        if (value < 0) {
            ++i;
            continue;
        }
        if (i > from) stretch(text.substr(from, i - from));
        out.put(static_cast<unsigned char>(value));
        i += 4;
        from = i;
    }
    if (from < text.size()) stretch(text.substr(from));
}

// A listing is written as it stands, so a token literal there is the byte it
// names (no upper case); the rest is upper-cased.
void writeListingText(std::string_view text, ByteWriter& out) {
    splitAtLiterals(text, out, [&out](std::string_view stretch) {
        unsigned char* write = out.room(stretch.size());
        for (const char c : stretch) *write++ = upperAscii(static_cast<unsigned char>(c));
        out.wrote(write);
    });
}

}  // namespace

void tokenizeLine(const PlatformTables& tables, const LinePieces& line, std::vector<unsigned char>& out,
                  Untranslated& untranslated) {
    ByteWriter writer(out);
    const bool storesText = tables.platform->characters.empty();
    std::string upper;
    for (std::size_t k = 0; k < line.count(); ++k) {
        const std::string_view piece = line.piece(k);
        if (LinePieces::isFinal(k)) {
            unsigned char* write = writer.room(piece.size());
            writer.wrote(std::copy(piece.begin(), piece.end(), write));
        } else if (storesText) {
            writeListingText(piece, writer);
        } else {
            splitAtLiterals(piece, writer, [&](std::string_view stretch) {
                writeText(tables, stretch, writer, untranslated, upper);
            });
        }
    }
}

}  // namespace lintrel::passes
