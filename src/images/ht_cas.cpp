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

ImageOutcome writeHtImage(std::span<const std::string> lines, std::string_view platform) {
    ImageBuffer image;
    image.writeRepeated(0x00, kLeaderSize);
    image.write8(kSync);
    image.writeRepeated(kBasicFile, 3);
    image.write8(kName);
    if (auto error = writeLinkedRecords(image, lines, kProgramStart, platform)) return {{}, std::move(error)};
    image.write16(0x0000);  // end link; nothing is patched
    return {image.take(), std::nullopt};
}

}  // namespace lintrel
