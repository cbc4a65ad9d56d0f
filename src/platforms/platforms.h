// Per-platform facts: one descriptor row per accepted identifier (and one for
// "no platform"), plus the keyword and character tables they point to.
#pragma once

#include <span>
#include <string_view>

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

enum class ImageFormat { Text, Homelab, Primo, Ht, Tvc };

struct Platform {
    std::string_view id;       // "" for the project without "&P="
    std::string_view machine;  // documentation only
    std::span<const KeywordRow> keywords;
    std::span<const CharacterRow> characters;  // walked by the tokenizer and inside strings/remarks
    LineNumberForm lineNumberForm;
    bool hasLineNumberLimit;
    int lineNumberLimit;  // the advanced number must not exceed this
    int reportedMaximum;  // the number the limit message shows
    bool spaceRemoval;    // whether "Removing unnecessary SPACEs" applies
    ImageFormat image;
    std::string_view fileName;  // "Compiled_HL2.htp"
    int reportOverhead;         // subtracted in the size report; 0 for text exports
    int programStart;           // address of the first program line; 0 where none
    int stageCount;             // maximum of the stage progress bar once selected
    bool packsVariableNames;    // Homelab: names before "$" and "(" are stored packed
    bool machineDataRules;      // HT, Primo: DATA items, apostrophe remarks as the machine stores them
};

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
