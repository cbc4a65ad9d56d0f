#include "images/readers.h"

namespace lintrel {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

}  // namespace

std::string hexByte(unsigned value) {
    return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

std::string hexWord(unsigned value) {
    return hexByte(value >> 8) + hexByte(value);
}

std::string describeFault(const ReadFault& fault) {
    const auto offset = static_cast<unsigned long long>(fault.offset);
    std::string hex;
    for (int shift = offset > 0xFFFF ? 28 : 12; shift >= 0; shift -= 4)
        hex += kDigits[(offset >> shift) & 0xF];
    return "offset " + std::to_string(offset) + " (" + hex + "): " + fault.message;
}

namespace image_reading {

ReadFault truncated(const Cursor& cursor, std::string_view what) {
    return {cursor.size(), "the file ends inside " + std::string(what)};
}

ReadFault unexpected(const Cursor& cursor, unsigned expected, std::string_view what) {
    return {cursor.offset(), "expected " + hexByte(expected) + " (" + std::string(what) + "), found " +
                                 hexByte(cursor.peek8())};
}

std::optional<ReadFault> skipLeader(Cursor& cursor) {
    constexpr unsigned kSync = 0xA5;
    while (cursor.has(1) && cursor.peek8() == 0x00) cursor.skip(1);
    if (!cursor.has(1)) return truncated(cursor, "the leader: no sync byte A5");
    if (cursor.peek8() != kSync) return unexpected(cursor, kSync, "the sync byte after the leader");
    cursor.skip(1);
    return std::nullopt;
}

std::optional<ReadFault> checkPadding(const Cursor& cursor) {
    Cursor rest = cursor;
    while (rest.has(1)) {
        if (rest.peek8() != 0x00) {
            return ReadFault{rest.offset(),
                             "unexpected byte " + hexByte(rest.peek8()) + " after the program's end"};
        }
        rest.skip(1);
    }
    return std::nullopt;
}

namespace {

// The smallest record: next-line address, line number and the end byte.
constexpr std::uint32_t kSmallestRecord = 5;
constexpr std::uint32_t kLastAddress = 0xFFFF;

std::string lineName(const Cursor& cursor, std::size_t recordOffset) {
    const auto number = cursor.view(recordOffset + 2, 2);
    return "line " + std::to_string(number[0] | (number[1] << 8));
}

}  // namespace

std::optional<ReadFault> readLinkedRecords(Cursor& cursor, std::uint32_t firstAddress,
                                           Program& lines) {
    std::uint32_t address = firstAddress;
    for (;;) {
        const std::size_t recordOffset = cursor.offset();
        if (!cursor.has(2)) return ReadFault{cursor.size(), "the program ends before its end link 00 00"};
        const std::uint32_t next = cursor.read16();
        if (next == 0) {
            // The end link's two bytes must still lie inside the 64 KB space.
            if (address + 1 > kLastAddress)
                return ReadFault{recordOffset, "the end link at " + hexWord(address) + " passes FFFF"};
            return std::nullopt;
        }
        if (next <= address) {
            return ReadFault{recordOffset, "the next-line address " + hexWord(next) +
                                               " points backwards (the line lies at " + hexWord(address) +
                                               ")"};
        }
        const std::uint32_t length = next - address;
        if (length < kSmallestRecord) {
            return ReadFault{recordOffset, "the next-line address " + hexWord(next) +
                                               " leaves no room for a line number and its end byte"};
        }
        if (length > cursor.size() - recordOffset) {
            return ReadFault{recordOffset,
                             "the next-line address " + hexWord(next) + " points past the end of the program"};
        }
        const std::size_t end = recordOffset + length - 1;  // the line's end byte
        cursor.seek(end);
        if (cursor.peek8() != 0x00) {
            return ReadFault{end, lineName(cursor, recordOffset) +
                                      " has no end byte 00 before the next line (found " +
                                      hexByte(cursor.peek8()) + ")"};
        }
        const long number = static_cast<long>(cursor.view(recordOffset + 2, 2)[0] |
                                              (cursor.view(recordOffset + 3, 1)[0] << 8));
        lines.addLine(number, cursor.view(recordOffset + 4, length - kSmallestRecord), recordOffset);
        cursor.seek(end + 1);
        address = next;
    }
}

}  // namespace image_reading

}  // namespace lintrel
