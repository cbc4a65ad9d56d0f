// The listing's spellings per platform: for each stored byte (or short run of
// bytes), the text that a build turns back into it, in program text and
// inside strings, remarks and DATA items. Found once per platform by building
// each candidate text, so they follow the build exactly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platforms/platforms.h"

namespace lintrel {

// Where the line assembler stands: what a piece of text does next depends on it.
enum class ListingMode {
    Program,     // program text: keywords, names, numbers
    String,      // between double quotes
    Remark,      // after REM or an apostrophe, to the line's end
    Data,        // DATA items on the Microsoft-family machines, up to a colon
    QuotedItem,  // a quoted DATA item
};

struct Spelling {
    std::vector<unsigned char> bytes;  // two or more
    std::string text;
    ListingMode after = ListingMode::Program;
};

struct ListingTables {
    // Program text: one byte's text and the mode it leaves, empty where no
    // text gives the byte alone.
    std::array<std::string, 256> program{};
    std::array<ListingMode, 256> programAfter{};
    std::vector<Spelling> programRuns;  // keyword codes of two bytes and more, longest first
    // Strings, remarks and DATA items (the double quote itself is the
    // lister's: it ends a string, opens or closes a DATA item, and is plain
    // text in a remark).
    std::array<std::string, 256> quoted{};
    std::vector<Spelling> quotedRuns;  // HT accented letters: 60 xx
    // [first byte] -> indexes into the runs above, in their order: a line is
    // listed by trying only the runs that can start at a byte.
    std::array<std::vector<std::uint16_t>, 256> programRunsAt{};
    std::array<std::vector<std::uint16_t>, 256> quotedRunsAt{};
    // Homelab names: XY$ is stored x+20 y and X$ x+20; XY( is x y-40 and X( x 1F.
    bool dollarNames = false;
    bool parenNames = false;
    // Words the assembler reads specially wherever their letters meet in
    // program text: REM, and DATA where items are kept as typed.
    std::vector<std::string> modeWords;
};

// One of the five platforms with a tokenizer.
const ListingTables& listingTablesOf(const Platform& platform);

}  // namespace lintrel
