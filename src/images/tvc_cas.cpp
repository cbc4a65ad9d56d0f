#include "images/tvc_cas.h"

#include <cstdint>


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
constexpr std::size_t kFileKind = 129;  // 1 byte: 01, a program
constexpr unsigned char kProgramFile = 0x01;
constexpr int kSmallestRecord = 4;  // the length byte, the line number and FF

}  // namespace

ImageOutcome writeTvcImage(const Program& program, std::string_view platform) {
    ImageBuffer image;
    image.write8(kFileType);
    image.write8(kFileType);
    image.writeRepeated(0x00, kFileHeaderSize - 2);
    const unsigned char programHeader[] = {0x00, 0x01, 0x00, 0x00, 0xFF};  // length at 130 patched
    image.write(programHeader);
    image.writeRepeated(0x00, kHeaderSize - image.size());

    for (std::size_t i = 0; i < program.size(); ++i) {
        const auto bytes = program.bytes(i);
        const auto recordLength = static_cast<std::int64_t>(bytes.size()) + kSmallestRecord;
        if (recordLength > kLargestRecord) {
            return {{}, WriterError{i, lineTooLongMessage(program.number(i), platform, kLargestRecord)}};
        }
        // The program length counts this record and the end byte.
        const auto programLength = static_cast<std::int64_t>(image.size() - kHeaderSize) + recordLength + 1;
        if (programLength > kLargestWord) {
            return {{}, WriterError{i, lengthTooLargeMessage(platform)}};
        }
        image.write8(static_cast<std::int32_t>(recordLength));
        image.write16(static_cast<std::int32_t>(program.number(i)));  // low byte first
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

namespace {

// The records from offset 144 up to the end byte, which must be the file's last.
std::optional<ReadFault> readRecords(image_reading::Cursor& cursor, Program& lines) {
    for (;;) {
        const std::size_t offset = cursor.offset();
        if (!cursor.has(1)) return ReadFault{offset, "the program ends before its end byte 00"};
        const std::size_t length = cursor.peek8();
        if (length == 0) break;
        if (length < kSmallestRecord) {
            return ReadFault{offset, "a line record of " + std::to_string(length) +
                                         " bytes leaves no room for a line number and its end byte"};
        }
        if (!cursor.has(length))
            return ReadFault{
                offset, "a line record of " + std::to_string(length) + " bytes passes the end of the file"};
        const auto record = cursor.view(offset, length);
        const long number = record[1] | (record[2] << 8);
        if (record[length - 1] != kRecordEnd) {
            return ReadFault{offset + length - 1, "line " + std::to_string(number) +
                                                      " has no end byte FF (found " +
                                                      hexByte(record[length - 1]) + ")"};
        }
        lines.addLine(number, record.subspan(3, length - kSmallestRecord), offset);
        cursor.skip(length);
    }
    if (cursor.left() != 1) {
        return ReadFault{cursor.offset() + 1,
                         "unexpected byte " + hexByte(cursor.peek8(1)) + " after the end byte 00"};
    }
    return std::nullopt;
}

}  // namespace

ImageReading readTvcImage(std::span<const unsigned char> image) {
    using namespace image_reading;
    ImageReading reading;
    reading.platform = "TVC";
    auto failed = failureOf(reading);
    Cursor cursor(image);
    if (!cursor.has(kHeaderSize + 1)) return failed(truncated(cursor, "the headers"));
    if (cursor.peek8() != kFileType) return failed(unexpected(cursor, kFileType, "a TVC cassette file"));
    cursor.seek(kBlockCount);
    const std::size_t blocks = cursor.read16();
    const std::size_t rest = cursor.read8();
    const std::size_t described = blocks * kBlockSize + rest;
    if (rest >= kBlockSize) {
        return failed(
            {kLastBlockSize, "the last block's size " + std::to_string(rest) + " is not below 128"});
    }
    if (described > image.size()) {
        return failed({image.size(), "the file ends after " + std::to_string(image.size()) +
                                         " bytes; its block count at offset 2 says " +
                                         std::to_string(described)});
    }
    if (described < image.size()) {
        return failed({kBlockCount, "the block count says " + std::to_string(described) +
                                        " bytes; the file has " + std::to_string(image.size())});
    }
    cursor.seek(kFileKind);
    if (cursor.peek8() != kProgramFile) return failed(unexpected(cursor, kProgramFile, "a program file"));
    cursor.seek(kProgramLength);
    if (const std::size_t length = cursor.read16(); length != image.size() - kHeaderSize) {
        return failed(
            {kProgramLength, "the program length " + std::to_string(length) + " does not match the " +
                                 std::to_string(image.size() - kHeaderSize) + " bytes after the headers"});
    }
    cursor.seek(kHeaderSize);
    if (auto fault = readRecords(cursor, reading.program)) return failed(std::move(*fault));
    return reading;
}

}  // namespace lintrel
