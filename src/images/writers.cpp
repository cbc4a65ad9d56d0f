#include "images/writers.h"


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

std::optional<WriterError> writeLinkedRecords(ImageBuffer& image, const Program& program,
                                              std::int64_t firstAddress, std::string_view platform) {
    constexpr std::int64_t kRecordOverhead = 5;  // next-line address, line number and the 0x00 terminator
    std::int64_t address = firstAddress;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const auto bytes = program.bytes(i);
        address += static_cast<std::int64_t>(bytes.size()) + kRecordOverhead;
        // Whatever follows at `address` (the next record or the end link)
        // takes at least two bytes, and the last must still be an address.
        if (address + 1 > kLargestWord) return WriterError{i, addressesTooLargeMessage(platform)};
        image.write16(static_cast<std::int32_t>(address));
        image.write16(static_cast<std::int32_t>(program.number(i)));
        image.write(bytes);
        image.write8(0x00);
    }
    return std::nullopt;
}

}  // namespace lintrel
