// Lookups built once per platform from its rows: the 256-entry character
// table and the keyword rows indexed by first character.
#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <optional>

#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

// Each byte's code from the first row, in stored order, whose source equals
// the byte's unit: the byte itself, or on HT its accented letter's UTF-8
// form. One walk over the rows; a later row never replaces an earlier one.
void fillCharacterCodes(const Platform& platform, std::array<std::string_view, 256>& codes) {
    // Only HT keys accented letters by their UTF-8 form; elsewhere every byte
    // is looked up as the byte it is.
    bool utf8Letters = false;
    for (const CharacterRow& row : platform.characters) utf8Letters = utf8Letters || row.source.size() > 1;
    std::array<std::string_view, 256> letters{};  // non-empty: the byte's unit is its UTF-8 letter
    if (utf8Letters) {
        for (unsigned v = 0; v < 256; ++v) letters[v] = utf8Letter(static_cast<char>(v));
    }
    std::array<bool, 256> found{};
    auto take = [&](unsigned v, std::string_view code) {
        if (found[v]) return;
        found[v] = true;
        codes[v] = code;
    };
    for (const CharacterRow& row : platform.characters) {
        if (row.source.size() == 1) {
            const auto v = static_cast<unsigned char>(row.source[0]);
            if (letters[v].empty()) take(v, row.code);
            continue;
        }
        for (unsigned v = 0; v < 256; ++v) {
            if (!letters[v].empty() && letters[v] == row.source) take(v, row.code);
        }
    }
}

// A character as the tokenizer's last steps leave it: upper case, then its
// code's nibble pairs, or itself where it has none.
std::string finishedCharacter(const PlatformTables& tables, unsigned char c) {
    const std::string& nibbles = tables.characterNibbles[upperAscii(c)];
    return nibbles.empty() ? std::string(1, static_cast<char>(upperAscii(c))) : nibbles;
}

void prepareFinishing(PlatformTables& tables) {
    for (unsigned v = 0; v < 256; ++v) {
        tables.keywordStarts[v] = !tables.keywordsByFirst[upperAscii(static_cast<unsigned char>(v))].empty();
        tables.finishedBytes[v] = finishedCharacter(tables, static_cast<unsigned char>(v));
        tables.longestFinished = std::max(tables.longestFinished, tables.finishedBytes[v].size());
    }
    tables.finishedPacks = tables.longestFinished <= sizeof(std::uint64_t);
    for (unsigned v = 0; v < 256 && tables.finishedPacks; ++v) {
        const std::string& text = tables.finishedBytes[v];
        std::memcpy(&tables.finishedPacked[v], text.data(), text.size());
        tables.finishedLength[v] = static_cast<std::uint8_t>(text.size());
    }
    for (const KeywordRow& row : tables.platform->keywords) {
        std::string& upper = tables.keywordUpper.emplace_back(row.text);
        for (char& c : upper) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
        if (row.text.empty()) continue;
        auto& seconds = tables.keywordSeconds[upperAscii(static_cast<unsigned char>(row.text[0]))];
        if (row.text.size() == 1) {
            seconds.fill(~std::uint64_t{0});
            continue;
        }
        // The second byte as written and, for a letter, in the other case.
        const unsigned char second = upperAscii(static_cast<unsigned char>(row.text[1]));
        for (const unsigned v : {unsigned{second}, second >= 'A' && second <= 'Z' ? second + 0x20u : unsigned{second}})
            seconds[v / 64] |= std::uint64_t{1} << (v % 64);
    }
    tables.keywordFinished.resize(tables.keywordNibbles.size());
    for (std::size_t r = 0; r < tables.keywordNibbles.size(); ++r) {
        for (const char c : tables.keywordNibbles[r]) {
            tables.keywordFinished[r] += tables.finishedBytes[static_cast<unsigned char>(c)];
        }
    }
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
    fillCharacterCodes(platform, tables.characterCodes);
    for (unsigned v = 0; v < 256; ++v) {
        if (endsLineRecord(tables.characterCodes[v])) tables.characterCodes[v] = {};
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
    tables.codesPack = true;
    for (const std::string_view code : tables.characterCodes) tables.codesPack &= code.size() <= sizeof(std::uint64_t);
    for (unsigned v = 0; v < 256 && tables.codesPack; ++v) {
        const std::string_view code = tables.characterCodes[v];
        if (code.empty()) continue;  // an empty view may have no data to copy from
        std::memcpy(&tables.codePacked[v], code.data(), code.size());
        tables.codeLength[v] = static_cast<std::uint8_t>(code.size());
    }
    tables.remarkOrDataStarts = remarkOrDataStarts(platform);
    tables.plainText = plainTextBytes(platform);
    prepareFinishing(tables);
    return tables;
}

// Slots: the accepted platforms in their order, then "no platform".
constexpr std::size_t kSlots = 9;

std::size_t slotOf(const Platform& platform) {
    const auto platforms = acceptedPlatforms();
    for (std::size_t i = 0; i < platforms.size() && i + 1 < kSlots; ++i) {
        if (&platforms[i] == &platform) return i;
    }
    return kSlots - 1;
}

}  // namespace

// Only the platforms a build meets are prepared, each once, on first use (a
// short program pays for one table, not eight); the window's worker thread
// may ask at the same time as the window's own.
const PlatformTables& tablesOf(const Platform& platform) {
    static std::array<std::once_flag, kSlots> made;
    static std::array<std::optional<PlatformTables>, kSlots> tables;
    const std::size_t slot = slotOf(platform);
    std::call_once(made[slot], [slot, &platform] {
        tables[slot].emplace(makeTables(slot + 1 == kSlots ? noPlatform() : platform));
    });
    return *tables[slot];
}

}  // namespace lintrel::passes
