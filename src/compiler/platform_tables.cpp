// Lookups built once per platform from its rows: the 256-entry character
// table and the keyword rows indexed by first character, every code as bytes.
#include "compiler/platform_tables.h"

#include <array>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "compiler/assembler.h"
#include "text/ascii.h"

namespace lintrel::passes {
namespace {

PackedBytes pack(std::string_view bytes) {
    // Every row's code is a few bytes; a longer one would not fit one store.
    if (bytes.size() > sizeof(std::uint64_t)) throw std::logic_error("a code of more than eight bytes");
    PackedBytes packed;
    if (!bytes.empty()) std::memcpy(&packed.bytes, bytes.data(), bytes.size());
    packed.size = static_cast<std::uint8_t>(bytes.size());
    return packed;
}

// A code holding a 00 byte would end the line record on the machine (the HT
// row for Á is 60 00), so such a row gives no code.
PackedBytes characterCode(std::string_view literals) {
    const std::string bytes = codeBytes(literals);
    return bytes.find('\0') != std::string::npos ? PackedBytes{} : pack(bytes);
}

// Each byte's code from the first row, in stored order, whose source equals
// the byte's unit: the byte itself, or on HT its accented letter's UTF-8
// form. One walk over the rows; a later row never replaces an earlier one.
void fillCharacterCodes(const Platform& platform, std::array<PackedBytes, 256>& codes) {
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
        codes[v] = characterCode(code);
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

void indexKeywords(PlatformTables& tables) {
    const auto rows = tables.platform->keywords;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        tables.keywordCodes.push_back(pack(codeBytes(rows[r].code)));
        std::string& upper = tables.keywordUpper.emplace_back(rows[r].text);
        for (char& c : upper) c = upperAscii(c);
        const std::string_view text = rows[r].text;
        if (text.empty()) continue;  // an empty text replaces nothing
        const unsigned char first = upperAscii(static_cast<unsigned char>(text[0]));
        tables.keywordsByFirst[first].push_back(static_cast<std::uint16_t>(r));
        auto& seconds = tables.keywordSeconds[first];
        if (text.size() == 1) {
            seconds.fill(~std::uint64_t{0});
            continue;
        }
        // The second byte as written and, for a letter, in the other case.
        const unsigned char second = upperAscii(static_cast<unsigned char>(text[1]));
        for (const unsigned v : {unsigned{second}, second >= 'A' && second <= 'Z' ? second + 0x20u : unsigned{second}})
            seconds[v / 64] |= std::uint64_t{1} << (v % 64);
    }
    for (unsigned v = 0; v < 256; ++v)
        tables.keywordStarts[v] = !tables.keywordsByFirst[upperAscii(static_cast<unsigned char>(v))].empty();
}

PlatformTables makeTables(const Platform& platform) {
    PlatformTables tables;
    tables.platform = &platform;
    fillCharacterCodes(platform, tables.codes);
    for (unsigned v = 0; v < 256; ++v) {
        const unsigned char upper = upperAscii(static_cast<unsigned char>(v));
        tables.finishedHasCode[v] = tables.codes[upper].size != 0;
        tables.finished[v] = tables.finishedHasCode[v] ? tables.codes[upper] : pack(std::string(1, static_cast<char>(upper)));
    }
    indexKeywords(tables);
    tables.remarkOrDataStarts = remarkOrDataStarts(platform);
    tables.plainText = plainTextBytes(platform);
    tables.apostropheRemark = pack(codeBytes(platform.apostropheRemark));
    return tables;
}

// Slots: the accepted platforms in their order, then "no platform".
constexpr std::size_t kSlots = 9;

// The descriptors stand in one array, so a row's place in it is its slot.
std::size_t slotOf(const Platform& platform) {
    const auto platforms = acceptedPlatforms();
    const auto at = static_cast<std::size_t>(&platform - platforms.data());
    return &platform >= platforms.data() && at < platforms.size() ? at : kSlots - 1;
}

}  // namespace

std::string codeBytes(std::string_view code) {
    std::string bytes;
    for (std::size_t i = 0; i + 4 <= code.size(); i += 4) {
        const int value = tokenLiteralAt(code.substr(i, 4));
        if (value >= 0) bytes += static_cast<char>(value);
    }
    return bytes;
}

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
