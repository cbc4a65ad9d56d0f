#include "images/homelab_htp.h"

#include <algorithm>
#include <array>
#include <cstdint>


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
constexpr std::uint32_t kLoadAddress = 0x4016;
constexpr std::size_t kLongestName = 16;
constexpr std::size_t kProgramInData = kProgramStart - kLoadAddress;  // the system area and the banner
constexpr unsigned char kEndMarker = 0x80;

// Sum of every data byte, patched fields included, up to the checksum slot.
unsigned char checksum(ImageBuffer& image) {
    image.seek(kDataStart);
    unsigned sum = 0;
    for (unsigned char byte : image.read(image.size() - 1 - kDataStart)) sum += byte;
    return static_cast<unsigned char>(sum & 0xFFu);
}

ImageOutcome writeHomelabImage(const Program& program, std::string_view platform,
                               const Template& header) {
    ImageBuffer image;
    image.writeRepeated(0x00, kLeaderSize);
    image.write(header);
    image.write(kBanner);

    // The largest field is E + 2; it must still be an address.
    std::int64_t end = kProgramStart;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const auto bytes = program.bytes(i);
        const long number = program.number(i);
        // The machine finds a line's end by its 60; one inside would split it.
        if (std::find(bytes.begin(), bytes.end(), kLineEnd) != bytes.end())
            return {{}, WriterError{i, lineEndInsideMessage(number, platform)}};
        end += static_cast<std::int64_t>(bytes.size()) + 3;
        if (end + 2 > kLargestWord) return {{}, WriterError{i, addressesTooLargeMessage(platform)}};
        image.write8(static_cast<std::int32_t>((number >> 8) & 0xFF));  // high byte first
        image.write8(static_cast<std::int32_t>(number & 0xFF));
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

ImageOutcome writeHomelab2Image(const Program& program, std::string_view platform) {
    return writeHomelabImage(program, platform, kHomelab2Header);
}

ImageOutcome writeHomelab3Image(const Program& program, std::string_view platform) {
    return writeHomelabImage(program, platform, kHomelab3Header);
}

namespace {

using image_reading::Cursor;

// The program from 40A0 up to the end marker at `end` (an offset into the
// image): two bytes of line number, high byte first, then the line up to 60.
std::optional<ReadFault> readHomelabLines(const Cursor& image, std::size_t begin, std::size_t end,
                                          Program& lines) {
    std::size_t at = begin;
    while (at < end) {
        if (end - at < 2) return ReadFault{at, "a line number is cut off by the program's end"};
        const auto number = image.view(at, 2);
        const long lineNumber = (number[0] << 8) | number[1];
        const auto rest = image.view(at + 2, end - at - 2);
        std::size_t length = 0;
        while (length < rest.size() && rest[length] != kLineEnd) ++length;
        if (length == rest.size()) {
            return ReadFault{
                end, "line " + std::to_string(lineNumber) + " has no end byte 60 before the end marker"};
        }
        lines.addLine(lineNumber, rest.first(length), at);
        at += 2 + length + 1;
    }
    return std::nullopt;
}

// Which machine's header the block carries, with the fields the writer
// patches filled in from this block.
std::string_view homelabPlatform(const Cursor& image, std::size_t sync, std::size_t length,
                                 std::uint32_t end) {
    if (image.size() - sync < kHomelab2Header.size()) return {};
    auto expected = [&](const Template& header) {
        Template patched = header;
        const auto put16 = [&patched](std::size_t offset, std::uint32_t value) {
            patched[offset - kLeaderSize] = static_cast<unsigned char>(value & 0xFF);
            patched[offset - kLeaderSize + 1] = static_cast<unsigned char>((value >> 8) & 0xFF);
        };
        put16(kDataLength, static_cast<std::uint32_t>(length));
        put16(kProgramEnd, end);
        put16(kProgramEnd1, end + 1);
        put16(kProgramEnd2, end + 2);
        put16(kProgramEnd2Copy, end + 2);
        patched[kFlag - kLeaderSize] = kFlagValue;
        return patched;
    };
    const auto header = image.view(sync, kHomelab2Header.size());
    if (std::equal(header.begin(), header.end(), expected(kHomelab2Header).begin())) return "HL2";
    if (std::equal(header.begin(), header.end(), expected(kHomelab3Header).begin())) return "HL3";
    return {};
}

}  // namespace

ImageReading readHomelabImage(std::span<const unsigned char> image) {
    using namespace image_reading;
    ImageReading reading;
    auto failed = failureOf(reading);
    Cursor cursor(image);
    if (auto fault = skipLeader(cursor)) return failed(std::move(*fault));
    const std::size_t sync = cursor.offset() - 1;
    std::size_t name = 0;
    while (name <= kLongestName && cursor.has(1) && cursor.peek8() != 0x00) cursor.skip(1), ++name;
    if (!cursor.has(1)) return failed(truncated(cursor, "the block name"));
    if (name > kLongestName) return failed({sync + 1, "the block name has no end byte 00 within 16 bytes"});
    cursor.skip(1);
    if (!cursor.has(4)) return failed(truncated(cursor, "the block header"));
    if (const unsigned load = cursor.read16(); load != kLoadAddress) {
        return failed(
            {cursor.offset() - 2, "the block loads at " + hexWord(load) + "; a BASIC program loads at 4016"});
    }
    const std::size_t lengthOffset = cursor.offset();
    const std::size_t length = cursor.read16();
    const std::size_t data = cursor.offset();
    if (!cursor.has(length + 1)) {
        return failed(truncated(cursor, "the block (its length at offset " + std::to_string(lengthOffset) +
                                            " says " + std::to_string(length) + " bytes and a checksum)"));
    }
    unsigned sum = 0;
    for (const unsigned char byte : cursor.view(data, length)) sum += byte;
    cursor.seek(data + length);
    if (cursor.peek8() != (sum & 0xFF)) {
        return failed({data + length, "the checksum is " + hexByte(cursor.peek8()) + "; the data add up to " +
                                          hexByte(sum & 0xFF)});
    }
    cursor.skip(1);
    if (auto fault = checkPadding(cursor)) return failed(std::move(*fault));
    if (length < kProgramInData + 2) {
        return failed({lengthOffset,
                       "a block of " + std::to_string(length) + " bytes is too short for a BASIC program"});
    }
    const auto endField = cursor.view(data + (kProgramEnd - kDataStart), 2);
    const std::uint32_t end = endField[0] | (endField[1] << 8);
    if (end < kProgramStart || end - kLoadAddress + 2 != length) {
        return failed({data + (kProgramEnd - kDataStart),
                       "the program's end address " + hexWord(end) + " does not match the block's end at " +
                           hexWord(static_cast<unsigned>(kLoadAddress + length - 2))});
    }
    const std::size_t marker = data + (end - kLoadAddress);
    if (cursor.view(marker, 2)[0] != kEndMarker || cursor.view(marker, 2)[1] != kLineEnd) {
        return failed({marker, "expected the end marker 80 60 at the program's end"});
    }
    if (auto fault = readHomelabLines(cursor, data + kProgramInData, marker, reading.program))
        return failed(std::move(*fault));
    reading.platform = homelabPlatform(cursor, sync, length, end);
    return reading;
}

}  // namespace lintrel
