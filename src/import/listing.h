// Listing: a stored line back to text in Lintrel's notation, text that builds
// to the same bytes. Keyword codes become their keyword (the first row in
// stored order where rows share a code), characters go back through the
// character table, Homelab names are unpacked; a byte that has no way back,
// and every character the notation reads specially, becomes a token literal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "import/typed_line.h"
#include "platforms/platforms.h"

namespace lintrel {

struct ListedLine {
    // Piece k stands for the stored bytes from pieces[k].byte and the text
    // from pieces[k].text, each up to where piece k + 1 starts (or the end).
    struct Piece {
        std::uint32_t byte = 0;
        std::uint32_t text = 0;
    };
    std::string text;  // code page 1250, without the line number
    std::vector<Piece> pieces;
    // A space outside strings, remarks and DATA items: the text builds to the
    // same bytes only with space removal off.
    bool spacesOutsideStrings = false;
    // Where the text of the line's remark begins (after REM or the
    // apostrophe); npos when the line has none. `remarkOnly`: nothing but
    // spaces and colons stands before the remark.
    std::size_t remark = std::string::npos;
    bool remarkOnly = false;
};

struct ListingTables;

// Lists the lines of one of the five platforms with a tokenizer. Every line it
// gives has been built again and holds the bytes it was listed from.
class LineLister {
public:
    explicit LineLister(const Platform& platform);

    // `bytes`: a stored line after its line number.
    void list(std::span<const unsigned char> bytes, ListedLine& out);
    // The same text without building it again: for a caller that builds the
    // lines itself and compares every byte (and lists with `list` where that
    // comparison fails).
    void listUnchecked(std::span<const unsigned char> bytes, ListedLine& out);

private:
    void compose(std::span<const unsigned char> bytes, ListedLine& out) const;
    bool escapeDirectives(const ListedLine& listed);
    bool escapeFirstDifference(std::span<const unsigned char> bytes, const ListedLine& listed);

    const ListingTables& tables_;
    TypedLineReader checker_;
    std::vector<unsigned char> rebuilt_;
    std::vector<char> escaped_;  // [byte] -> written as a token literal
};

}  // namespace lintrel
