// What every image reader shares: the lines it finds, the fault that stops
// it, and the bounds-checked cursor the readers walk the file with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "images/program.h"

namespace lintrel {

// Why an image cannot be read, and where in the file.
struct ReadFault {
    std::size_t offset = 0;
    std::string message;
};

struct ImageReading {
    Program program{Program::Origin::Offset};  // each line's origin: its record's file offset
    std::optional<ReadFault> fault;
    // The platform the image shows itself to be for; empty when the format
    // serves two machines and the image does not tell which (a Homelab image
    // from another tool).
    std::string_view platform;
    bool ok() const { return !fault.has_value(); }
};

// File bytes in, the program's lines out. Never reads outside `image`.
using ImageReader = ImageReading (*)(std::span<const unsigned char> image);

// "offset 300 (012C): the checksum is 3F, the data add up to 40"
std::string describeFault(const ReadFault& fault);

// Two hexadecimal digits ("3F"), or four for a 16-bit value ("42E9").
std::string hexByte(unsigned value);
std::string hexWord(unsigned value);

namespace image_reading {

// A cursor over the file that answers "not there" instead of reading past its
// end; every fault it reports names the offset where the file ran out.
class Cursor {
public:
    explicit Cursor(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::size_t offset() const { return offset_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t left() const { return bytes_.size() - offset_; }
    bool has(std::size_t count) const { return left() >= count; }
    void seek(std::size_t offset) { offset_ = offset <= bytes_.size() ? offset : bytes_.size(); }
    void skip(std::size_t count) { seek(offset_ + (count <= left() ? count : left())); }

    // Callers test has() first.
    unsigned peek8(std::size_t ahead = 0) const { return bytes_[offset_ + ahead]; }
    unsigned read8() { return bytes_[offset_++]; }
    unsigned read16() {  // low byte first
        const unsigned low = bytes_[offset_];
        const unsigned high = bytes_[offset_ + 1];
        offset_ += 2;
        return low | (high << 8);
    }
    std::span<const unsigned char> view(std::size_t offset, std::size_t count) const {
        return bytes_.subspan(offset, count);
    }

private:
    std::span<const unsigned char> bytes_;
    std::size_t offset_ = 0;
};

// The fault "the file ends inside WHAT", at the file's end.
ReadFault truncated(const Cursor& cursor, std::string_view what);
// The fault "expected XX (WHAT), found YY", at the cursor.
ReadFault unexpected(const Cursor& cursor, unsigned expected, std::string_view what);

// The leader: any number of 00 bytes, then the sync byte A5. Leaves the
// cursor after the sync byte.
std::optional<ReadFault> skipLeader(Cursor& cursor);

// After the image's last field: nothing, or zero padding.
std::optional<ReadFault> checkPadding(const Cursor& cursor);

// Primo and HT records from the cursor up to and including the end link
// 00 00: next-line address (the first record lies at `firstAddress`), line
// number low byte first, the line's bytes, 00. Every address must lie ahead
// of its record and inside the file, so the walk always ends.
std::optional<ReadFault> readLinkedRecords(Cursor& cursor, std::uint32_t firstAddress,
                                           Program& lines);

// What a reader returns on a fault: no lines, only the fault.
inline auto failureOf(ImageReading& reading) {
    return [&reading](ReadFault fault) {
        reading.program.clear();
        reading.fault = std::move(fault);
        return reading;
    };
}

}  // namespace image_reading

}  // namespace lintrel
