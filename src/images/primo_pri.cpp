#include "images/primo_pri.h"

#include <cstdint>

namespace lintrel {

namespace {

constexpr unsigned char kBlockType = 0xD1;    // offset 0
constexpr std::size_t kProgramLength = 3;     // 2 bytes: file size - 6, patched
constexpr std::size_t kLengthOverhead = 6;    // block type, two zeros, the length, the closing byte
constexpr std::int64_t kProgramStart = 0x43EA;
constexpr unsigned char kClosingByte = 0xC9;  // last byte of the file

}  // namespace

ImageOutcome writePrimoImage(std::span<const std::string> lines, std::string_view platform) {
    ImageBuffer image;
    image.write8(kBlockType);
    image.write16(0x0000);
    image.write16(0x0000);  // the program length, once known
    if (auto error = writeLinkedRecords(image, lines, kProgramStart, platform)) return {{}, std::move(error)};
    image.write16(0x0000);  // end link
    image.write8(kClosingByte);

    image.seek(kProgramLength);
    image.write16(static_cast<std::int32_t>(image.size() - kLengthOverhead));
    return {image.take(), std::nullopt};
}

}  // namespace lintrel
