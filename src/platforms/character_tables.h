// Character tables of the five tokenizing platforms, in stored order. A lookup
// takes the first row whose source equals the unit, byte for byte, so a later
// row with a repeated source never matches. Sources are code page 1250 bytes
// (the HT accented rows hold the letters' UTF-8 forms, see below).
//
// Long runs where a character keeps its own value are generated; every other
// row is written out with the letter it stands for.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "platforms/platforms.h"
#include "platforms/table_checks.h"

namespace lintrel {

namespace character_runs {

// Static storage the generated rows point into: every byte value once, and the
// 256 token literals in upper- and lower-case hex digits.
constexpr std::array<char, 256> makeBytes() {
    std::array<char, 256> bytes{};
    for (std::size_t v = 0; v < 256; ++v) bytes[v] = static_cast<char>(v);
    return bytes;
}

constexpr std::array<char, 1024> makeLiterals(const char* digits) {
    std::array<char, 1024> text{};
    for (std::size_t v = 0; v < 256; ++v) {
        text[4 * v] = '{';
        text[4 * v + 1] = digits[v / 16];
        text[4 * v + 2] = digits[v % 16];
        text[4 * v + 3] = '}';
    }
    return text;
}

inline constexpr std::array<char, 256> kBytes = makeBytes();
inline constexpr std::array<char, 1024> kUpperLiterals = makeLiterals("0123456789ABCDEF");
inline constexpr std::array<char, 1024> kLowerLiterals = makeLiterals("0123456789abcdef");

enum class Digits { Upper, Lower };

constexpr std::string_view literal(unsigned value, Digits digits) {
    const auto& text = digits == Digits::Upper ? kUpperLiterals : kLowerLiterals;
    return {text.data() + 4 * value, 4};
}

// The characters first..last, each to the code of its own value plus `shift`.
template <unsigned first, unsigned last, int shift = 0>
constexpr std::array<CharacterRow, last - first + 1> run(Digits digits = Digits::Upper) {
    static_assert(first <= last && last < 256);
    std::array<CharacterRow, last - first + 1> rows{};
    for (unsigned v = first; v <= last; ++v) {
        rows[v - first] = {literal(static_cast<unsigned>(static_cast<int>(v) + shift), digits),
                           std::string_view(kBytes.data() + v, 1)};
    }
    return rows;
}

template <std::size_t... sizes>
constexpr std::array<CharacterRow, (sizes + ...)> join(const std::array<CharacterRow, sizes>&... parts) {
    std::array<CharacterRow, (sizes + ...)> rows{};
    std::size_t next = 0;
    ((std::copy(parts.begin(), parts.end(), rows.begin() + next), next += sizes), ...);
    return rows;
}

}  // namespace character_runs

// clang-format off
// Homelab 2: upper case only; a lower-case letter takes its capital's code.
inline constexpr auto kHl2Characters = character_runs::join(
    character_runs::run<0x20, 0x5F>(),          // rows 0-63: space to "_"
    character_runs::run<'a', 'z', 'A' - 'a'>()  // rows 64-89: a-z to the codes of A-Z
);

// Homelab 3: its own character set for the Hungarian letters. The letters C
// and D are stored swapped (rows 35, 36); each still keeps its own code.
inline constexpr auto kHl3Characters = character_runs::join(
    character_runs::run<0x20, 0x3F>(),  // rows 0-31: space to "?"
    std::to_array<CharacterRow>({
        {"{40}", "\xC1"},  // 32: Á
        {"{41}", "A"},     // 33
        {"{42}", "B"},     // 34
        {"{44}", "D"},     // 35
        {"{43}", "C"},     // 36
    }),
    character_runs::run<'E', 'Z'>(),  // rows 37-58
    std::to_array<CharacterRow>({
        {"{5B}", "\xC9"},  // 59: É
        {"{5C}", "\xD6"},  // 60: Ö
        {"{5C}", "\xD5"},  // 61: Ő, sharing Ö's code
        {"{5D}", "\xDC"},  // 62: Ü
        {"{5E}", "^"},     // 63
        {"{5F}", "\xD3"},  // 64: Ó
        {"{20}", "_"},     // 65: shares the space's code
    }),
    character_runs::run<'a', 'z'>(),  // rows 66-91
    std::to_array<CharacterRow>({
        {"{7B}", "\xE9"},  // 92: é
        {"{7C}", "\xF6"},  // 93: ö
        {"{7D}", "\xFC"},  // 94: ü
        {"{7E}", "\xF3"},  // 95: ó
        {"{7F}", "\xE1"},  // 96: á
        {"{95}", "\xDA"},  // 97: Ú
        {"{9D}", "\xDB"},  // 98: Ű
        {"{A9}", "\xED"},  // 99: í
        {"{A9}", "\xCD"},  // 100: Í, sharing í's code
        {"{B5}", "\xFA"},  // 101: ú
        {"{BC}", "\xF5"},  // 102: ő
        {"{BD}", "\xFB"},  // 103: ű
    }));

// Primo: the accented letters take the places of "@", "[" .. "_", "`" and
// "{" .. "~". Row 95 repeats row 63's ú and so never matches.
inline constexpr auto kPrimoCharacters = character_runs::join(
    character_runs::run<0x20, 0x3F>(),  // rows 0-31: space to "?"
    std::to_array<CharacterRow>({
        {"{40}", "\xC9"},  // 32: É
    }),
    character_runs::run<'A', 'Z'>(),  // rows 33-58
    std::to_array<CharacterRow>({
        {"{5B}", "\xF3"},  // 59: ó
        {"{5C}", "\xD6"},  // 60: Ö
        {"{5D}", "\xC1"},  // 61: Á
        {"{5E}", "\xDC"},  // 62: Ü
        {"{5F}", "\xFA"},  // 63: ú
        {"{60}", "\xE9"},  // 64: é
    }),
    character_runs::run<'a', 'z'>(),  // rows 65-90
    std::to_array<CharacterRow>({
        {"{7B}", "\xF5"},  // 91: ő
        {"{7C}", "\xF6"},  // 92: ö
        {"{7D}", "\xED"},  // 93: í
        {"{7E}", "\xFC"},  // 94: ü
        {"{7F}", "\xFA"},  // 95: ú again; row 63 always wins
    }));

// HT-1080Z: ASCII, and the accented letters as a 60 prefix plus a letter
// number. Their sources are the UTF-8 forms; the lookups find them through
// utf8Letter() from the code page 1250 byte.
inline constexpr auto kHtCharacters = character_runs::join(
    character_runs::run<0x20, 0x5F>(),  // rows 0-63: space to "_"
    character_runs::run<'a', 'z'>(),    // rows 64-89
    std::to_array<CharacterRow>({
        {"{60}{00}", "\xC3\x81"},  // 90: Á
        {"{60}{01}", "\xC3\x89"},  // 91: É
        {"{60}{02}", "\xC3\x8D"},  // 92: Í
        {"{60}{03}", "\xC3\x93"},  // 93: Ó
        {"{60}{06}", "\xC3\x9A"},  // 94: Ú
        {"{60}{04}", "\xC3\x96"},  // 95: Ö
        {"{60}{05}", "\xC5\x90"},  // 96: Ő
        {"{60}{07}", "\xC3\x9C"},  // 97: Ü
        {"{60}{08}", "\xC5\xB0"},  // 98: Ű
        {"{60}{10}", "\xC3\xA1"},  // 99: á
        {"{60}{11}", "\xC3\xA9"},  // 100: é
        {"{60}{12}", "\xC3\xAD"},  // 101: í
        {"{60}{13}", "\xC3\xB3"},  // 102: ó
        {"{60}{14}", "\xC3\xBA"},  // 103: ú
        {"{60}{15}", "\xC3\xB6"},  // 104: ö
        {"{60}{16}", "\xC5\x91"},  // 105: ő
        {"{60}{17}", "\xC3\xBC"},  // 106: ü
        {"{60}{18}", "\xC5\xB1"},  // 107: ű
    }));

// TVC: the stored rows 0-89 write their hex letter digits in lower case
// ({2a}, {4a}, {7a}); the nibble-encoding pass reads either case.
inline constexpr auto kTvcCharacters = character_runs::join(
    character_runs::run<0x20, 0x5F>(character_runs::Digits::Lower),  // rows 0-63: space to "_"
    character_runs::run<'a', 'z'>(character_runs::Digits::Lower),    // rows 64-89
    std::to_array<CharacterRow>({
        {"{80}", "\xC1"},  // 90: Á
        {"{81}", "\xC9"},  // 91: É
        {"{82}", "\xCD"},  // 92: Í
        {"{83}", "\xD3"},  // 93: Ó
        {"{84}", "\xD6"},  // 94: Ö
        {"{85}", "\xD5"},  // 95: Ő
        {"{86}", "\xDA"},  // 96: Ú
        {"{87}", "\xDC"},  // 97: Ü
        {"{88}", "\xDB"},  // 98: Ű
        {"{90}", "\xE1"},  // 99: á
        {"{91}", "\xE9"},  // 100: é
        {"{92}", "\xED"},  // 101: í
        {"{93}", "\xF3"},  // 102: ó
        {"{94}", "\xF6"},  // 103: ö
        {"{95}", "\xF5"},  // 104: ő
        {"{96}", "\xFA"},  // 105: ú
        {"{97}", "\xFC"},  // 106: ü
        {"{98}", "\xFB"},  // 107: ű
    }));

// clang-format on

static_assert(kHl2Characters.size() == 90);
static_assert(kHl3Characters.size() == 104);
static_assert(kPrimoCharacters.size() == 96);
static_assert(kHtCharacters.size() == 108);
static_assert(kTvcCharacters.size() == 108);

static_assert(table_checks::characterRowsAreWellFormed(kHl2Characters, table_checks::HexDigits::UpperOnly));
static_assert(table_checks::characterRowsAreWellFormed(kHl3Characters, table_checks::HexDigits::UpperOnly));
static_assert(table_checks::characterRowsAreWellFormed(kPrimoCharacters, table_checks::HexDigits::UpperOnly));
static_assert(table_checks::characterRowsAreWellFormed(kHtCharacters, table_checks::HexDigits::UpperOnly, 90,
                                                       108));
static_assert(table_checks::characterRowsAreWellFormed(kTvcCharacters, table_checks::HexDigits::AnyCase));

// No source twice, but for the Primo's second ú (row 95), which never matches.
static_assert(table_checks::firstRepeatedSource(kHl2Characters) == kHl2Characters.size());
static_assert(table_checks::firstRepeatedSource(kHl3Characters) == kHl3Characters.size());
static_assert(table_checks::firstRepeatedSource(kPrimoCharacters) == 95);
static_assert(table_checks::firstRepeatedSource(kPrimoCharacters, 96) == kPrimoCharacters.size());
static_assert(table_checks::firstRepeatedSource(kHtCharacters) == kHtCharacters.size());
static_assert(table_checks::firstRepeatedSource(kTvcCharacters) == kTvcCharacters.size());

}  // namespace lintrel
