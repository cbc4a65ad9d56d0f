// Lookups built once per platform from its rows: the 256-entry character
// table and the keyword rows indexed by first character.
#include <algorithm>
#include <array>

#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

// First row, in stored order, whose source equals `unit` byte for byte.
std::string_view firstCharacterCode(std::span<const CharacterRow> rows, std::string_view unit) {
    for (const CharacterRow& row : rows) {
        if (row.source == unit) return row.code;
    }
    return {};
}

bool hasMultiByteSources(std::span<const CharacterRow> rows) {
    for (const CharacterRow& row : rows) {
        if (row.source.size() > 1) return true;
    }
    return false;
}

// A code holding a 00 byte would end the line record on the machine (the HT
// row for Á is 60 00), so such a row gives no code.
bool endsLineRecord(std::string_view code) {
    for (std::size_t i = 0; i + 4 <= code.size(); i += 4) {
        if (code.substr(i, 4) == "{00}") return true;
    }
    return false;
}

PlatformTables makeTables(const Platform& platform) {
    PlatformTables tables;
    tables.platform = &platform;
    // Only HT keys accented letters by their UTF-8 form; elsewhere every byte
    // is looked up as the byte it is.
    const bool utf8Letters = hasMultiByteSources(platform.characters);
    for (unsigned v = 0; v < 256; ++v) {
        const char byte = static_cast<char>(v);
        std::string_view unit(&byte, 1);
        const std::string_view letter = utf8Letters ? utf8Letter(byte) : std::string_view{};
        if (!letter.empty()) unit = letter;
        const std::string_view code = firstCharacterCode(platform.characters, unit);
        tables.characterCodes[v] = endsLineRecord(code) ? std::string_view{} : code;
        encodeNibbles(tables.characterCodes[v], tables.characterNibbles[v]);
        tables.longestNibbles = std::max(tables.longestNibbles, tables.characterNibbles[v].size());
    }
    tables.keywordNibbles.resize(platform.keywords.size());
    for (std::size_t r = 0; r < platform.keywords.size(); ++r) {
        encodeNibbles(platform.keywords[r].code, tables.keywordNibbles[r]);
        const std::string_view text = platform.keywords[r].text;
        if (text.empty()) continue;  // an empty text replaces nothing
        tables.keywordsByFirst[upperAscii(static_cast<unsigned char>(text[0]))].push_back(
            static_cast<std::uint16_t>(r));
    }
    tables.remarkOrDataStarts = remarkOrDataStarts(platform);
    tables.plainText = plainTextBytes(platform);
    return tables;
}

struct AllTables {
    std::array<PlatformTables, 8> accepted;
    std::size_t acceptedCount = 0;
    PlatformTables none;
};

AllTables makeAllTables() {
    AllTables all;
    const auto platforms = acceptedPlatforms();
    for (std::size_t i = 0; i < platforms.size() && i < all.accepted.size(); ++i) {
        all.accepted[i] = makeTables(platforms[i]);
        all.acceptedCount = i + 1;
    }
    all.none = makeTables(noPlatform());
    return all;
}

}  // namespace

const PlatformTables& tablesOf(const Platform& platform) {
    static const AllTables all = makeAllTables();
    for (std::size_t i = 0; i < all.acceptedCount; ++i) {
        if (all.accepted[i].platform == &platform) return all.accepted[i];
    }
    return all.none;
}

}  // namespace lintrel::passes
