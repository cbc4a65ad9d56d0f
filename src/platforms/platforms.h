// Per-platform facts: one descriptor row per accepted identifier (and one for
// "no platform"), plus the keyword and character tables they point to.
#pragma once

#include <limits>
#include <optional>
#include <span>
#include <string_view>

#include "images/readers.h"
#include "images/writers.h"
#include "platforms/reference_keywords.h"

namespace lintrel {

// One keyword row as stored: the code as one or more token literals ("{A2}",
// "{8C}{24}") and the source text the keyword pass matches, letter case ignored.
struct KeywordRow {
    std::string_view code;
    std::string_view text;
};

// One character row as stored: the code as token literal(s) and the source,
// one byte of the code page 1250 text (two bytes for the HT UTF-8 rows).
struct CharacterRow {
    std::string_view code;
    std::string_view source;
};

enum class LineNumberForm {
    None,           // no "&P=": the text alone
    DecimalSpace,   // "BASIC": "10 PRINT"
    Decimal,        // "ABC80": "10PRINT"
    HighByteFirst,  // Homelab: {00}{0A}
    LowByteFirst,   // PRIMO, HT, TVC: {0A}{00}
};

// Text platforms have no line-number limit of their own; the largest int
// keeps the numbers inside what every caller can hold.
inline constexpr int kNoLineNumberLimit = std::numeric_limits<int>::max();

// Everything the build and the export do differently per machine, one row
// per platform: its tables, the rules its passes follow, and its image writer
// with the file name and the report overhead.
struct Platform {
    std::string_view id;       // "" for the project without "&P="
    std::string_view machine;  // documentation only

    // The passes.
    std::span<const KeywordRow> keywords{};
    std::span<const CharacterRow> characters{};  // walked by the tokenizer and inside strings/remarks
    LineNumberForm lineNumberForm = LineNumberForm::None;
    int lineNumberLimit = kNoLineNumberLimit;  // the advanced number must not exceed this
    int reportedMaximum = kNoLineNumberLimit;  // the number the limit message shows
    bool spaceRemoval = false;                 // whether "Removing unnecessary SPACEs" applies
    bool resolvesLabels = true;                // the label resolver runs
    bool literalStage = true;                  // the stage bar counts a step for the token literals
    bool packsVariableNames = false;           // Homelab: names before "$" and "(" are stored packed
    // Rules of the Microsoft-family BASICs, kept as the machine keeps them;
    // empty where the machine has none.
    std::string_view apostropheRemark{};  // what an apostrophe outside strings starts a remark with
    std::string_view dataKeyword{};       // its items keep letters and spaces up to a colon outside quotes
    // The keywords that take line numbers and those that end the program text
    // of a line, for the warnings and the import.
    std::span<const ReferenceKeyword> lineReferences = kTextReferences;

    // The output file, and the reader that finds the lines in such a file
    // again (none for the text listings).
    ImageWriter writer = nullptr;
    ImageReader reader = nullptr;
    std::string_view fileName{};          // "Compiled_HL2.htp", written into the exports folder
    std::optional<int> reportOverhead{};  // subtracted in the size report; none for the text listings
};

// The stage bar's steps once the platform is chosen: the tokenizer's four,
// and one each for the label resolver and the token literals.
constexpr int stageCount(const Platform& platform) {
    return 4 + (platform.resolvesLabels ? 1 : 0) + (platform.literalStage ? 1 : 0);
}

// Exact, case-sensitive lookup of an "&P=" value; nullptr for anything that is
// not one of the seven identifiers (the empty text included).
const Platform* findPlatform(std::string_view id);

// The descriptor in force before any "&P=" line.
const Platform& noPlatform();

// The seven accepted identifiers, in the order they are tested.
std::span<const Platform> acceptedPlatforms();

// The UTF-8 form of one of the eighteen Hungarian accented letters Á É Í Ó Ú Ö Ő
// Ü Ű á é í ó ú ö ő ü ű, given as its code page 1250 byte; empty for any other
// byte. The HT character table keys its accented rows by these forms.
std::string_view utf8Letter(char cp1250);

}  // namespace lintrel
