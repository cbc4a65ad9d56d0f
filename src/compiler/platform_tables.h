// Lookups made once from the rows of the platform a build uses: each code
// held once, as the bytes it stands for.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platforms/platforms.h"

namespace lintrel::passes {

// A code of at most eight bytes in one word, so that one store writes it;
// whoever writes one leaves eight bytes of room.
struct PackedBytes {
    std::uint64_t bytes = 0;
    std::uint8_t size = 0;

    unsigned char* writeTo(unsigned char* at) const {
        std::memcpy(at, &bytes, sizeof bytes);
        return at + size;
    }
};

struct PlatformTables {
    const Platform* platform = nullptr;
    // Each byte's code from the first character row that matches (the HT
    // keys its accented letters by their UTF-8 form); size 0 where none.
    std::array<PackedBytes, 256> codes{};
    // A character of program text as the tokenizer leaves it: upper-cased,
    // then its code. Where the upper-cased character has no code it stays as
    // it is and `finishedHasCode` is false: it will stop the build.
    std::array<PackedBytes, 256> finished{};
    std::array<bool, 256> finishedHasCode{};
    // Keyword rows by the upper-cased first character of their text, each
    // list in stored order, so the first row that matches at a place wins.
    std::array<std::vector<std::uint16_t>, 256> keywordsByFirst{};
    std::array<bool, 256> keywordStarts{};  // the byte, upper-cased, begins some row's text
    // [upper-cased first byte]: bit set for each second byte some row there
    // can match (every bit for a one-character row), to pass over places
    // where no row can match without trying them.
    std::array<std::array<std::uint64_t, 4>, 256> keywordSeconds{};
    std::vector<std::string> keywordUpper;  // each row's text upper-cased
    std::vector<PackedBytes> keywordCodes;  // each row's code
    // For the line assembler: the bytes that may begin "REM", an apostrophe
    // remark or DATA items, and the bytes it passes on in runs outside
    // strings, remarks and DATA items (none that begins a unit of its own,
    // nor a space where spaces may be removed).
    std::array<bool, 256> remarkOrDataStarts{};
    std::array<bool, 256> plainText{};
    PackedBytes apostropheRemark;  // what an apostrophe remark starts with
};

// Made on first use, once per platform; safe from two threads.
const PlatformTables& tablesOf(const Platform& platform);

// The bytes a code of token literals stands for ("{8C}{24}": 8C 24).
std::string codeBytes(std::string_view code);

}  // namespace lintrel::passes
