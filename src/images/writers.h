// What every image writer shares: its result, its signature and the limits
// that stop a program which does not fit its format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "images/image_buffer.h"
#include "images/program.h"

namespace lintrel {

// The program does not fit the format: nothing may be written.
struct WriterError {
    std::size_t lineIndex = 0;  // the program line the error is attributed to
    std::string message;
};

struct ImageOutcome {
    std::vector<unsigned char> bytes;
    std::optional<WriterError> error;
};

// The program in, file bytes out; each writer lays out the line numbers as
// its machine keeps them. `platform` is the identifier the messages of a
// program that does not fit name.
using ImageWriter = ImageOutcome (*)(const Program& program, std::string_view platform);

// The largest value a two-byte address or length field holds.
inline constexpr std::int64_t kLargestWord = 0xFFFF;

// "The program is too large for PRIMO: its addresses would pass FFFF!"
std::string addressesTooLargeMessage(std::string_view platform);
// "The program is too large for TVC: its length would pass FFFF!"
std::string lengthTooLargeMessage(std::string_view platform);
// "Line 120 is too long for TVC: a line record holds at most 255 bytes!"
std::string lineTooLongMessage(long lineNumber, std::string_view platform, int largestRecord);
// "Line 30 holds the byte 60, which ends a line on HL2!"
std::string lineEndInsideMessage(long lineNumber, std::string_view platform);

// Primo and HT keep each line as: next-line address, line number (low byte
// first), the line's bytes, 0x00, the first record at `firstAddress`. Appends the records (no end link) and
// stops at the first record whose next-line address leaves no room for the
// two-byte end link inside the 64 KB address space.
std::optional<WriterError> writeLinkedRecords(ImageBuffer& image, const Program& program,
                                              std::int64_t firstAddress, std::string_view platform);

}  // namespace lintrel
