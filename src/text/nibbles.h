// Nibble characters: in a finished line every byte bound for the machine
// travels as two characters, the nibble base plus its high half, then the
// nibble base plus its low half. The build makes them; the image writers
// decode them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

inline constexpr unsigned char kNibbleBase = 0x80;
static_assert((kNibbleBase & 0x0F) == 0, "a nibble character's low half is its value");

// The character that stands for the four-bit `value` (higher bits ignored).
constexpr char nibbleCharacter(unsigned value) {
    return static_cast<char>(kNibbleBase + (value & 0x0F));
}

// Whether `c` is one of the sixteen nibble characters.
constexpr bool isNibble(unsigned char c) {
    return (c & 0xF0) == kNibbleBase;
}

// Eight nibble bases side by side, for testing eight characters at once.
inline constexpr std::uint64_t kEightNibbleBases = 0x0101010101010101ULL * kNibbleBase;

// Appends the nibble pair of one byte, high half first.
inline void appendNibblePair(std::string& out, unsigned byte) {
    out += nibbleCharacter(byte >> 4);
    out += nibbleCharacter(byte);
}

// Turns a finished line back into bytes: pairs of characters, low four bits
// of each, a last unpaired character ignored. `bytes` is reused from line to line.
inline void decodeLine(std::string_view line, std::vector<unsigned char>& bytes) {
    bytes.resize(line.size() / 2);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const unsigned high = static_cast<unsigned char>(line[2 * k]) & 0x0F;
        const unsigned low = static_cast<unsigned char>(line[2 * k + 1]) & 0x0F;
        bytes[k] = static_cast<unsigned char>((high << 4) | low);
    }
}

inline std::vector<unsigned char> decodeLine(std::string_view line) {
    std::vector<unsigned char> bytes;
    decodeLine(line, bytes);
    return bytes;
}

}  // namespace lintrel
