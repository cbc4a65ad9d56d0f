#include "images/writers.h"

#include "text/nibbles.h"

namespace lintrel {

std::string addressesTooLargeMessage(std::string_view platform) {
    return "The program is too large for " + std::string(platform) + ": its addresses would pass FFFF!";
}

std::string lengthTooLargeMessage(std::string_view platform) {
    return "The program is too large for " + std::string(platform) + ": its length would pass FFFF!";
}

std::string lineTooLongMessage(long lineNumber, std::string_view platform, int largestRecord) {
    return "Line " + std::to_string(lineNumber) + " is too long for " + std::string(platform) +
           ": a line record holds at most " + std::to_string(largestRecord) + " bytes!";
}

std::string lineEndInsideMessage(long lineNumber, std::string_view platform) {
    return "Line " + std::to_string(lineNumber) + " holds the byte 60, which ends a line on " +
           std::string(platform) + "!";
}

std::optional<WriterError> writeLinkedRecords(ImageBuffer& image, std::span<const std::string> lines,
                                              std::int64_t firstAddress, std::string_view platform) {
    constexpr std::int64_t kRecordOverhead = 3;  // next-line address and the 0x00 terminator
    std::int64_t address = firstAddress;
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // the assembler never stores one
        decodeLine(lines[i], bytes);
        address += static_cast<std::int64_t>(bytes.size()) + kRecordOverhead;
        // Whatever follows at `address` (the next record or the end link)
        // takes at least two bytes, and the last must still be an address.
        if (address + 1 > kLargestWord) return WriterError{i, addressesTooLargeMessage(platform)};
        image.write16(static_cast<std::int32_t>(address));
        image.write(bytes);
        image.write8(0x00);
    }
    return std::nullopt;
}

}  // namespace lintrel
