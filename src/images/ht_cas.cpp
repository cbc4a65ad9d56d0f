#include "images/ht_cas.h"

#include <cstdint>

namespace lintrel {

namespace {

constexpr std::size_t kLeaderSize = 255;  // one less than the Homelab leader
constexpr unsigned char kSync = 0xA5;     // offset 255
constexpr unsigned char kBasicFile = 0xD3;  // offsets 256 to 258, three times
constexpr unsigned char kName = 0x40;     // offset 259: a one-byte program name
constexpr std::int64_t kProgramStart = 0x42E9;

}  // namespace

ImageOutcome writeHtImage(const Program& program, std::string_view platform) {
    ImageBuffer image;
    image.writeRepeated(0x00, kLeaderSize);
    image.write8(kSync);
    image.writeRepeated(kBasicFile, 3);
    image.write8(kName);
    if (auto error = writeLinkedRecords(image, program, kProgramStart, platform)) return {{}, std::move(error)};
    image.write16(0x0000);  // end link; nothing is patched
    return {image.take(), std::nullopt};
}

ImageReading readHtImage(std::span<const unsigned char> image) {
    using namespace image_reading;
    ImageReading reading;
    reading.platform = "HT";
    auto failed = failureOf(reading);
    Cursor cursor(image);
    if (auto fault = skipLeader(cursor)) return failed(std::move(*fault));
    for (int i = 0; i < 3; ++i) {
        if (!cursor.has(1)) return failed(truncated(cursor, "the BASIC file header D3 D3 D3"));
        if (cursor.peek8() != kBasicFile)
            return failed(unexpected(cursor, kBasicFile, "a BASIC file header"));
        cursor.skip(1);
    }
    if (!cursor.has(1)) return failed(truncated(cursor, "the header: no program name"));
    cursor.skip(1);  // the name: any one byte
    if (auto fault = readLinkedRecords(cursor, kProgramStart, reading.program))
        return failed(std::move(*fault));
    if (auto fault = checkPadding(cursor)) return failed(std::move(*fault));
    return reading;
}

}  // namespace lintrel
