#include "images/homelab_htp.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/nibbles.h"

namespace lintrel {

namespace {

using Template = std::array<unsigned char, 112>;

// The block header (22 bytes) and the system area from 0x4016 to 0x406F as
// each machine expects it after loading. Patched positions are overwritten.
constexpr Template kHomelab2Header = {
    0xA5, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x00, 0x16, 0x40, 0x8C, 0x00, 0x00, 0x80, 0xA0, 0x40, 0xA1, 0x40, 0xA2, 0x40, 0x35, 0x41,
    0xD7, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x05, 0xFF, 0x0C, 0x41, 0xFF, 0xFF,
    0xA0, 0x40, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xA0, 0x40, 0xFF, 0xFF, 0x00, 0x80, 0x80, 0x00, 0x71,
    0x00, 0xF4, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x81, 0x15, 0x00, 0x10, 0x00, 0x00, 0x00,
    0x50, 0x00, 0xA9, 0x0C, 0x18, 0x0E, 0x81, 0x15, 0xE9, 0xFF, 0xE9, 0xFB, 0xE9, 0xF7, 0xE9, 0xF3,
    0xE9, 0xEF, 0xE9, 0xEB, 0xE9, 0xE7, 0xE9, 0xE3, 0x4B, 0x40, 0x08, 0x00, 0xFF, 0x3A, 0xAC, 0x70,
};

constexpr Template kHomelab3Header = {
    0xA5, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x00, 0x16, 0x40, 0x8C, 0x00, 0xFF, 0x7F, 0xA0, 0x40, 0xA1, 0x40, 0xA2, 0x40, 0x35, 0x40,
    0x42, 0x60, 0x0B, 0x02, 0x75, 0x02, 0x54, 0x03, 0x8B, 0x05, 0x54, 0x00, 0xDD, 0x40, 0x00, 0xD7,
    0xA0, 0x40, 0x45, 0xF1, 0x7F, 0x00, 0x00, 0xA0, 0x40, 0x00, 0x00, 0x2D, 0x4E, 0x53, 0x2D, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x6B, 0x20, 0x18, 0x05, 0x00, 0x00, 0x00,
    0x00, 0x3C, 0x2D, 0x20, 0x04, 0x20, 0x6B, 0x20, 0x3C, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

// Shown on the machine's screen from 0x4070 while the program loads.
//   "   LINTREL   " "   VELTMARK Studio" 8 spaces "2025" 5 spaces
constexpr std::array<unsigned char, 48> kBanner = {
    ' ', ' ', ' ', 'L', 'I', 'N', 'T', 'R', 'E', 'L', ' ', ' ', ' ', ' ', ' ', ' ',
    'V', 'E', 'L', 'T', 'M', 'A', 'R', 'K', ' ', 'S', 't', 'u', 'd', 'i', 'o', ' ',
    ' ', ' ', ' ', ' ', ' ', ' ', ' ', '2', '0', '2', '5', ' ', ' ', ' ', ' ', ' ',
};

constexpr std::size_t kLeaderSize = 256;
constexpr std::size_t kDataLength = 276;      // 2 bytes: file size - 280, patched
constexpr std::size_t kDataStart = 278;       // first byte the checksum covers (address 0x4016)
constexpr std::size_t kProgramEnd = 280;      // 2 bytes: E, the address after the program
constexpr std::size_t kProgramEnd1 = 282;     // 2 bytes: E + 1
constexpr std::size_t kProgramEnd2 = 284;     // 2 bytes: E + 2
constexpr std::size_t kProgramEnd2Copy = 300; // 2 bytes: E + 2 again
constexpr std::size_t kFlag = 306;            // 1 byte: 0x10
constexpr std::size_t kLengthBase = 280;      // the data length counts the file from here
constexpr std::int64_t kProgramStart = 0x40A0;
constexpr unsigned char kLineEnd = 0x60;
constexpr unsigned char kFlagValue = 0x10;

// Sum of every data byte, patched fields included, up to the checksum slot.
unsigned char checksum(ImageBuffer& image) {
    image.seek(kDataStart);
    unsigned sum = 0;
    for (unsigned char byte : image.read(image.size() - 1 - kDataStart)) sum += byte;
    return static_cast<unsigned char>(sum & 0xFFu);
}

ImageOutcome writeHomelabImage(std::span<const std::string> lines, std::string_view platform,
                               const Template& header) {
    ImageBuffer image;
    image.writeRepeated(0x00, kLeaderSize);
    image.write(header);
    image.write(kBanner);

    // The largest field is E + 2; it must still be an address.
    std::int64_t end = kProgramStart;
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // the assembler never stores one
        decodeLine(lines[i], bytes);
        // The machine finds a line's end by its 60; one inside would split it.
        if (bytes.size() > 2 && std::find(bytes.begin() + 2, bytes.end(), kLineEnd) != bytes.end()) {
            const long number = (static_cast<long>(bytes[0]) << 8) | bytes[1];
            return {{}, WriterError{i, lineEndInsideMessage(number, platform)}};
        }
        end += static_cast<std::int64_t>(bytes.size()) + 1;
        if (end + 2 > kLargestWord) return {{}, WriterError{i, addressesTooLargeMessage(platform)}};
        image.write(bytes);
        image.write8(kLineEnd);
    }
    const unsigned char ending[] = {0x80, 0x60, 0x00, 0x00};  // end marker, checksum slot, last byte
    image.write(ending);

    const auto e = static_cast<std::int32_t>(end);
    image.seek(kProgramEnd);
    image.write16(e);
    image.seek(kProgramEnd1);
    image.write16(e + 1);
    image.seek(kProgramEnd2);
    image.write16(e + 2);
    image.seek(kProgramEnd2Copy);
    image.write16(e + 2);
    image.seek(kFlag);
    image.write8(kFlagValue);
    image.seek(kDataLength);
    image.write16(static_cast<std::int32_t>(image.size() - kLengthBase));

    const unsigned char sum = checksum(image);
    image.seek(image.size() - 2);
    image.write8(sum);
    return {image.take(), std::nullopt};
}

}  // namespace

ImageOutcome writeHomelab2Image(std::span<const std::string> lines, std::string_view platform) {
    return writeHomelabImage(lines, platform, kHomelab2Header);
}

ImageOutcome writeHomelab3Image(std::span<const std::string> lines, std::string_view platform) {
    return writeHomelabImage(lines, platform, kHomelab3Header);
}

}  // namespace lintrel
