// Reference image writers: each file laid out field by field from the format
// descriptions, the program bytes first and every header field computed from
// them, with the limits that stop a program which does not fit. Nothing here
// comes from the product's writers.
#include <array>

#include "reference/reference_build.h"

namespace lintrel::reference {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr long kLargestAddress = 0xFFFF;

void put16(Bytes& bytes, std::size_t offset, long value) {
    bytes[offset] = static_cast<unsigned char>(value & 0xFF);
    bytes[offset + 1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

void append16(Bytes& bytes, long value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

std::string tooLarge(std::string_view platform, std::string_view what) {
    return "The program is too large for " + std::string(platform) + ": its " + std::string(what) +
           " would pass FFFF!";
}

Image stopped(std::size_t lineIndex, std::string message) {
    Image image;
    image.stoppedAt = lineIndex;
    image.message = std::move(message);
    return image;
}

// ---- listings (.bas) ----

Image writeListing(const std::vector<std::string>& lines) {
    Image image;
    for (const auto& line : lines) {
        image.bytes.insert(image.bytes.end(), line.begin(), line.end());
        image.bytes.push_back('\r');
        image.bytes.push_back('\n');
    }
    return image;
}

// ---- Homelab 2 and 3 (.htp) ----

// File offsets 256 to 367: the block header and memory 0x4016 to 0x406F.
constexpr std::array<unsigned char, 112> kHomelab2Header = {
    0xA5, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x00, 0x16, 0x40, 0x8C, 0x00, 0x00, 0x80, 0xA0, 0x40, 0xA1, 0x40, 0xA2, 0x40, 0x35, 0x41,
    0xD7, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x05, 0xFF, 0x0C, 0x41, 0xFF, 0xFF,
    0xA0, 0x40, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xA0, 0x40, 0xFF, 0xFF, 0x00, 0x80, 0x80, 0x00, 0x71,
    0x00, 0xF4, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x81, 0x15, 0x00, 0x10, 0x00, 0x00, 0x00,
    0x50, 0x00, 0xA9, 0x0C, 0x18, 0x0E, 0x81, 0x15, 0xE9, 0xFF, 0xE9, 0xFB, 0xE9, 0xF7, 0xE9, 0xF3,
    0xE9, 0xEF, 0xE9, 0xEB, 0xE9, 0xE7, 0xE9, 0xE3, 0x4B, 0x40, 0x08, 0x00, 0xFF, 0x3A, 0xAC, 0x70,
};
constexpr std::array<unsigned char, 112> kHomelab3Header = {
    0xA5, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x00, 0x16, 0x40, 0x8C, 0x00, 0xFF, 0x7F, 0xA0, 0x40, 0xA1, 0x40, 0xA2, 0x40, 0x35, 0x40,
    0x42, 0x60, 0x0B, 0x02, 0x75, 0x02, 0x54, 0x03, 0x8B, 0x05, 0x54, 0x00, 0xDD, 0x40, 0x00, 0xD7,
    0xA0, 0x40, 0x45, 0xF1, 0x7F, 0x00, 0x00, 0xA0, 0x40, 0x00, 0x00, 0x2D, 0x4E, 0x53, 0x2D, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC, 0x6B, 0x20, 0x18, 0x05, 0x00, 0x00, 0x00,
    0x00, 0x3C, 0x2D, 0x20, 0x04, 0x20, 0x6B, 0x20, 0x3C, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};
constexpr std::string_view kHomelabBanner = "   LINTREL      VELTMARK Studio        2025     ";

Image writeHomelab(const std::vector<std::string>& lines, const std::vector<Bytes>& decoded,
                   std::string_view platform) {
    Bytes program;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (lines[i].empty()) continue;
        // 60 ends a line on the machine, so none may stand inside one.
        for (std::size_t k = 2; k < decoded[i].size(); ++k) {
            if (decoded[i][k] != 0x60) continue;
            const long number = decoded[i][0] * 256L + decoded[i][1];
            return stopped(i, "Line " + std::to_string(number) + " holds the byte 60, which ends a line on " +
                                  std::string(platform) + "!");
        }
        program.insert(program.end(), decoded[i].begin(), decoded[i].end());
        program.push_back(0x60);
        // E + 2, the largest address the header stores, must be an address.
        if (0x40A0 + static_cast<long>(program.size()) + 2 > kLargestAddress)
            return stopped(i, tooLarge(platform, "addresses"));
    }
    const long end = 0x40A0 + static_cast<long>(program.size());  // E: the 0x80 after the program

    Image image;
    Bytes& file = image.bytes;
    file.assign(256, 0x00);
    const auto& header = platform == "HL3" ? kHomelab3Header : kHomelab2Header;
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), kHomelabBanner.begin(), kHomelabBanner.end());
    file.insert(file.end(), program.begin(), program.end());
    file.push_back(0x80);
    file.push_back(0x60);
    const std::size_t size = file.size() + 2;  // the checksum and the closing 0x00 follow
    put16(file, 276, static_cast<long>(size) - 280);
    put16(file, 280, end);
    put16(file, 282, end + 1);
    put16(file, 284, end + 2);
    put16(file, 300, end + 2);
    file[306] = 0x10;
    unsigned sum = 0;
    for (std::size_t offset = 278; offset < file.size(); ++offset) sum += file[offset];
    file.push_back(static_cast<unsigned char>(sum % 256));
    file.push_back(0x00);
    return image;
}

// ---- Primo (.pri) and HT-1080Z (.cas): linked line records ----

// Next-line address, the line's bytes, 0x00; the first record at `start`.
std::optional<Image> linkRecords(const std::vector<std::string>& lines, const std::vector<Bytes>& decoded, long start,
                                 std::string_view platform, Bytes& records) {
    long address = start;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (lines[i].empty()) continue;
        const long next = address + static_cast<long>(decoded[i].size()) + 3;
        // The next record or the end link lies at `next`: both of its first
        // two bytes must be addresses.
        if (next + 1 > kLargestAddress) return stopped(i, tooLarge(platform, "addresses"));
        append16(records, next);
        records.insert(records.end(), decoded[i].begin(), decoded[i].end());
        records.push_back(0x00);
        address = next;
    }
    return std::nullopt;
}

Image writePrimo(const std::vector<std::string>& lines, const std::vector<Bytes>& decoded) {
    Bytes records;
    if (auto failed = linkRecords(lines, decoded, 0x43EA, "PRIMO", records)) return *failed;
    Image image;
    const long length = static_cast<long>(records.size()) + 2;  // the records and the end link
    image.bytes = {0xD1, 0x00, 0x00};
    append16(image.bytes, length);
    image.bytes.insert(image.bytes.end(), records.begin(), records.end());
    append16(image.bytes, 0x0000);
    image.bytes.push_back(0xC9);
    return image;
}

Image writeHt(const std::vector<std::string>& lines, const std::vector<Bytes>& decoded) {
    Bytes records;
    if (auto failed = linkRecords(lines, decoded, 0x42E9, "HT", records)) return *failed;
    Image image;
    image.bytes.assign(255, 0x00);
    for (unsigned char byte : {0xA5, 0xD3, 0xD3, 0xD3, 0x40}) image.bytes.push_back(byte);
    image.bytes.insert(image.bytes.end(), records.begin(), records.end());
    append16(image.bytes, 0x0000);
    return image;
}

// ---- TVC (.cas): length-prefixed records ----

Image writeTvc(const std::vector<std::string>& lines, const std::vector<Bytes>& decoded) {
    Bytes program;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (lines[i].empty()) continue;
        const Bytes& line = decoded[i];
        const std::size_t record = line.size() + 2;
        if (record > 255) {
            const long number = line.size() >= 2 ? line[0] + 256L * line[1] : (line.empty() ? 0 : line[0]);
            return stopped(i, "Line " + std::to_string(number) + " is too long for TVC: a line record holds at most "
                                  "255 bytes!");
        }
        if (program.size() + record + 1 > static_cast<std::size_t>(kLargestAddress))  // the end byte counts
            return stopped(i, tooLarge("TVC", "length"));
        program.push_back(static_cast<unsigned char>(record));
        program.insert(program.end(), line.begin(), line.end());
        program.push_back(0xFF);
    }
    program.push_back(0x00);
    const std::size_t size = 144 + program.size();

    Image image;
    Bytes& file = image.bytes;
    file.assign(144, 0x00);
    file[0] = 0x11;
    file[1] = 0x11;
    put16(file, 2, static_cast<long>(size / 128));
    file[4] = static_cast<unsigned char>(size % 128);
    file[129] = 0x01;
    put16(file, 130, static_cast<long>(program.size()));
    file[132] = 0xFF;
    file.insert(file.end(), program.begin(), program.end());
    return image;
}

}  // namespace

std::vector<unsigned char> decodeFinished(const std::string& line) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
        const auto high = static_cast<unsigned char>(line[i]) % 16;
        const auto low = static_cast<unsigned char>(line[i + 1]) % 16;
        bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return bytes;
}

Image writeImage(std::string_view platform, const std::vector<std::string>& lines) {
    std::vector<Bytes> decoded;
    decoded.reserve(lines.size());
    for (const auto& line : lines) decoded.push_back(decodeFinished(line));
    Image image;
    if (platform.empty() || platform == "BASIC") image = writeListing(lines);
    else if (platform == "ABC80") image = writeListing(lines);
    else if (platform == "HL2" || platform == "HL3") image = writeHomelab(lines, decoded, platform);
    else if (platform == "PRIMO") image = writePrimo(lines, decoded);
    else if (platform == "HT") image = writeHt(lines, decoded);
    else if (platform == "TVC") image = writeTvc(lines, decoded);
    else return stopped(0, "no writer for \"" + std::string(platform) + "\"");
    if (image.stoppedAt) return image;

    const std::string id = platform.empty() ? "BASIC" : std::string(platform);
    const std::string extension = platform == "HL2" || platform == "HL3" ? ".htp"
                                  : platform == "PRIMO"                  ? ".pri"
                                  : platform == "HT" || platform == "TVC" ? ".cas"
                                                                          : ".bas";
    image.fileName = "Compiled_" + id + extension;
    return image;
}

}  // namespace lintrel::reference
