#include <gtest/gtest.h>

#include "finished_lines.h"
#include "hex.h"
#include "images/homelab_htp.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

// The header templates as documented, sixteen bytes per row.
const Bytes kHomelab2Template = hex(
    "A5 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
    "20 00 16 40 8C 00 00 80 A0 40 A1 40 A2 40 35 41 "
    "D7 40 FF FF FF FF FF FF FF FF 05 FF 0C 41 FF FF "
    "A0 40 00 FF FF FF FF A0 40 FF FF 00 80 80 00 71 "
    "00 F4 7F 00 00 00 00 00 00 81 15 00 10 00 00 00 "
    "50 00 A9 0C 18 0E 81 15 E9 FF E9 FB E9 F7 E9 F3 "
    "E9 EF E9 EB E9 E7 E9 E3 4B 40 08 00 FF 3A AC 70");
const Bytes kHomelab3Template = hex(
    "A5 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
    "20 00 16 40 8C 00 FF 7F A0 40 A1 40 A2 40 35 40 "
    "42 60 0B 02 75 02 54 03 8B 05 54 00 DD 40 00 D7 "
    "A0 40 45 F1 7F 00 00 A0 40 00 00 2D 4E 53 2D 00 "
    "00 00 00 00 00 00 00 00 FC 6B 20 18 05 00 00 00 "
    "00 3C 2D 20 04 20 6B 20 3C 1C 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
const std::string kBanner = "   LINTREL      VELTMARK Studio        2025     ";

// The template as it must appear in a file: the patched positions replaced.
Bytes patchedTemplate(Bytes header, unsigned length, unsigned end) {
    auto put16 = [&header](std::size_t offset, unsigned value) {
        header[offset - 256] = static_cast<unsigned char>(value & 0xFF);
        header[offset - 255] = static_cast<unsigned char>(value >> 8);
    };
    put16(276, length);
    put16(280, end);
    put16(282, end + 1);
    put16(284, end + 2);
    put16(300, end + 2);
    header[306 - 256] = 0x10;
    return header;
}

void expectLayout(const Bytes& file, const Bytes& header, const Bytes& program, unsigned char checksum) {
    const unsigned end = 0x40A0 + static_cast<unsigned>(program.size());
    ASSERT_EQ(file.size(), program.size() + 420);
    EXPECT_EQ(slice(file, 0, 256), Bytes(256, 0x00));
    EXPECT_EQ(slice(file, 256, 112), patchedTemplate(header, static_cast<unsigned>(program.size()) + 140, end));
    EXPECT_EQ(slice(file, 368, 48), Bytes(kBanner.begin(), kBanner.end()));
    EXPECT_EQ(slice(file, 416, program.size()), program);
    EXPECT_EQ(tail(file, 4), (Bytes{0x80, 0x60, checksum, 0x00}));
}

TEST(HomelabImage, OneLineHl3MatchesTheWorkedExample) {
    const std::vector<std::string> lines = {finished({0x00, 0x0A, 0xA8, 0x31})};
    const ImageOutcome image = writeHomelab3Image(lines, "HL3");
    ASSERT_FALSE(image.error);
    ASSERT_EQ(image.bytes.size(), 425u);
    EXPECT_EQ(slice(image.bytes, 276, 10), hex("91 00 FF 7F A5 40 A6 40 A7 40"));
    EXPECT_EQ(slice(image.bytes, 300, 2), hex("A7 40"));
    EXPECT_EQ(image.bytes[306], 0x10);
    EXPECT_EQ(tail(image.bytes, 9), hex("00 0A A8 31 60 80 60 F7 00"));
    expectLayout(image.bytes, kHomelab3Template, hex("00 0A A8 31 60"), 0xF7);
}

TEST(HomelabImage, OneLineHl2DiffersOnlyInTemplateAndChecksum) {
    const std::vector<std::string> lines = {finished({0x00, 0x0A, 0xA8, 0x31})};
    const ImageOutcome image = writeHomelab2Image(lines, "HL2");
    ASSERT_FALSE(image.error);
    expectLayout(image.bytes, kHomelab2Template, hex("00 0A A8 31 60"), 0x31);
}

TEST(HomelabImage, EmptyProgramsAre420BytesWithTheDocumentedChecksums) {
    const ImageOutcome hl2 = writeHomelab2Image({}, "HL2");
    const ImageOutcome hl3 = writeHomelab3Image({}, "HL3");
    expectLayout(hl2.bytes, kHomelab2Template, {}, 0xDA);
    expectLayout(hl3.bytes, kHomelab3Template, {}, 0xA0);
    // Length and addresses equal the template's own; 300 and 306 still change.
    EXPECT_EQ(slice(hl2.bytes, 276, 10), slice(kHomelab2Template, 20, 10));
    EXPECT_EQ(slice(hl2.bytes, 300, 2), hex("A2 40"));
    EXPECT_EQ(hl2.bytes[306], 0x10);
}

TEST(HomelabImage, LinesFollowEachOtherWithoutLinksEachEndedBy60) {
    const std::vector<std::string> lines = {finished({0x00, 0x0A, 0xA8, 0x31}),
                                            finished({0x00, 0x14, 0x80})};
    const ImageOutcome image = writeHomelab2Image(lines, "HL2");
    ASSERT_FALSE(image.error);
    const Bytes program = hex("00 0A A8 31 60 00 14 80 60");
    unsigned sum = 0;
    for (std::size_t i = 278; i < image.bytes.size() - 2; ++i) sum += image.bytes[i];
    expectLayout(image.bytes, kHomelab2Template, program, static_cast<unsigned char>(sum));
    EXPECT_EQ(slice(image.bytes, 280, 2), hex("A9 40"));  // E = 0x40A0 + 9
}

TEST(HomelabImage, StopsWhenTheLastAddressWouldPassFFFF) {
    // E + 2 = 0x40A0 + (n + 1) + 2 is the largest field; it may be FFFF.
    const std::size_t largest = 0xFFFF - 0x40A3;
    const std::vector<std::string> fits = {finishedOfSize(largest, 0x00, 0x0A)};
    const ImageOutcome ok = writeHomelab3Image(fits, "HL3");
    ASSERT_FALSE(ok.error);
    EXPECT_EQ(slice(ok.bytes, 284, 2), hex("FF FF"));

    // The first two lines end exactly at the limit; the third passes it.
    const std::vector<std::string> tooLarge = {finished({0x00, 0x0A, 0x31}), finishedOfSize(largest - 4, 0x00, 0x14),
                                               finished({0x00, 0x1E, 0x31})};
    const ImageOutcome failed = writeHomelab2Image(tooLarge, "HL2");
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.bytes.empty());
    EXPECT_EQ(failed.error->lineIndex, 2u);
    EXPECT_EQ(failed.error->message, "The program is too large for HL2: its addresses would pass FFFF!");
}

}  // namespace
}  // namespace lintrel
