#include "images/primo_pri.h"

#include <cstdint>

namespace lintrel {

namespace {

constexpr unsigned char kBlockType = 0xD1;    // offset 0
constexpr std::size_t kProgramLength = 3;     // 2 bytes: file size - 6, patched
constexpr std::size_t kLengthOverhead = 6;    // block type, two zeros, the length, the closing byte
constexpr std::int64_t kProgramStart = 0x43EA;
constexpr unsigned char kClosingByte = 0xC9;  // last byte of the file
constexpr std::size_t kRecordsStart = 5;
constexpr std::uint32_t kBlockStart = 0x0000;  // offsets 1 and 2: the block starts the program area

}  // namespace

ImageOutcome writePrimoImage(const Program& program, std::string_view platform) {
    ImageBuffer image;
    image.write8(kBlockType);
    image.write16(0x0000);
    image.write16(0x0000);  // the program length, once known
    if (auto error = writeLinkedRecords(image, program, kProgramStart, platform)) return {{}, std::move(error)};
    image.write16(0x0000);  // end link
    image.write8(kClosingByte);

    image.seek(kProgramLength);
    image.write16(static_cast<std::int32_t>(image.size() - kLengthOverhead));
    return {image.take(), std::nullopt};
}

ImageReading readPrimoImage(std::span<const unsigned char> image) {
    using namespace image_reading;
    ImageReading reading;
    reading.platform = "PRIMO";
    auto failed = failureOf(reading);
    Cursor header(image);
    if (!header.has(kRecordsStart)) return failed(truncated(header, "the block header"));
    if (header.peek8() != kBlockType) return failed(unexpected(header, kBlockType, "a BASIC program block"));
    header.skip(1);
    if (const unsigned start = header.read16(); start != kBlockStart)
        return failed({1, "the block starts at " + hexWord(start) + " of the program area, not at 0000"});
    // The length counts the records and the end link; the closing byte follows.
    const std::size_t blockEnd = kRecordsStart + header.read16();
    if (blockEnd + 1 > image.size()) {
        return failed(truncated(header, "the program block (its length at offset 3 says it ends at offset " +
                                            std::to_string(blockEnd) + ")"));
    }
    Cursor records(image.first(blockEnd));
    records.seek(kRecordsStart);
    if (auto fault = readLinkedRecords(records, kProgramStart, reading.program))
        return failed(std::move(*fault));
    if (records.offset() != blockEnd) {
        return failed({records.offset(), "the end link comes before the block's end at offset " +
                                             std::to_string(blockEnd) +
                                             " (the length at offset 3 does not match)"});
    }
    Cursor rest(image);
    rest.seek(blockEnd);
    if (rest.peek8() != kClosingByte) return failed(unexpected(rest, kClosingByte, "the closing byte"));
    rest.skip(1);
    if (rest.has(1))
        return failed(
            {rest.offset(), "unexpected byte " + hexByte(rest.peek8()) + " after the closing byte"});
    return reading;
}

}  // namespace lintrel
