#include "images/tvc_cas.h"

#include <cstdint>

#include "text/nibbles.h"

namespace lintrel {

namespace {

constexpr unsigned char kFileType = 0x11;     // offsets 0 and 1
constexpr std::size_t kBlockCount = 2;        // 2 bytes: file size div 128, patched
constexpr std::size_t kLastBlockSize = 4;     // 1 byte: file size mod 128, patched
constexpr std::size_t kFileHeaderSize = 128;  // offsets 0 to 127
constexpr std::size_t kProgramLength = 130;   // 2 bytes: bytes from offset 144 to the end, patched
constexpr std::size_t kHeaderSize = 144;      // file header and program header
constexpr unsigned char kRecordEnd = 0xFF;
constexpr unsigned char kProgramEnd = 0x00;   // last byte of the file
constexpr int kLargestRecord = 255;           // the record length is one byte
constexpr std::size_t kBlockSize = 128;

// The line number is the first two bytes, low byte first.
long lineNumber(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 2) return bytes.empty() ? 0 : bytes[0];
    return bytes[0] | (static_cast<long>(bytes[1]) << 8);
}

}  // namespace

ImageOutcome writeTvcImage(std::span<const std::string> lines, std::string_view platform) {
    ImageBuffer image;
    image.write8(kFileType);
    image.write8(kFileType);
    image.writeRepeated(0x00, kFileHeaderSize - 2);
    const unsigned char programHeader[] = {0x00, 0x01, 0x00, 0x00, 0xFF};  // length at 130 patched
    image.write(programHeader);
    image.writeRepeated(0x00, kHeaderSize - image.size());

    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // the assembler never stores one
        decodeLine(lines[i], bytes);
        const auto recordLength = static_cast<std::int64_t>(bytes.size()) + 2;
        if (recordLength > kLargestRecord) {
            return {{}, WriterError{i, lineTooLongMessage(lineNumber(bytes), platform, kLargestRecord)}};
        }
        // The program length counts this record and the end byte.
        const auto programLength = static_cast<std::int64_t>(image.size() - kHeaderSize) + recordLength + 1;
        if (programLength > kLargestWord) {
            return {{}, WriterError{i, lengthTooLargeMessage(platform)}};
        }
        image.write8(static_cast<std::int32_t>(recordLength));
        image.write(bytes);
        image.write8(kRecordEnd);
    }
    image.write8(kProgramEnd);

    const std::size_t size = image.size();
    image.seek(kProgramLength);
    image.write16(static_cast<std::int32_t>(size - kHeaderSize));
    image.seek(kBlockCount);
    image.write16(static_cast<std::int32_t>(size / kBlockSize));
    image.seek(kLastBlockSize);
    image.write8(static_cast<std::int32_t>(size % kBlockSize));
    return {image.take(), std::nullopt};
}

}  // namespace lintrel
