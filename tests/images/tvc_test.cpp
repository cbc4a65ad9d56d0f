#include <gtest/gtest.h>

#include "finished_lines.h"
#include "hex.h"
#include "images/tvc_cas.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

Bytes header(unsigned size) {
    Bytes bytes(144, 0x00);
    bytes[0] = bytes[1] = 0x11;
    bytes[2] = static_cast<unsigned char>((size / 128) & 0xFF);
    bytes[3] = static_cast<unsigned char>((size / 128) >> 8);
    bytes[4] = static_cast<unsigned char>(size % 128);
    bytes[129] = 0x01;
    bytes[130] = static_cast<unsigned char>((size - 144) & 0xFF);
    bytes[131] = static_cast<unsigned char>((size - 144) >> 8);
    bytes[132] = 0xFF;
    return bytes;
}

TEST(TvcImage, OneLineIsTheDocumented151ByteFile) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xDD, 0x31})};
    const ImageOutcome image = writeTvcImage(lines, "TVC");
    ASSERT_FALSE(image.error);
    ASSERT_EQ(image.bytes.size(), 151u);
    EXPECT_EQ(slice(image.bytes, 0, 5), hex("11 11 01 00 17"));
    EXPECT_EQ(slice(image.bytes, 128, 5), hex("00 01 07 00 FF"));
    EXPECT_EQ(slice(image.bytes, 144, 7), hex("06 0A 00 DD 31 FF 00"));
    EXPECT_EQ(slice(image.bytes, 0, 144), header(151));
}

TEST(TvcImage, EmptyProgramIs145Bytes) {
    const ImageOutcome image = writeTvcImage({}, "TVC");
    ASSERT_EQ(image.bytes.size(), 145u);
    EXPECT_EQ(slice(image.bytes, 2, 3), hex("01 00 11"));
    EXPECT_EQ(slice(image.bytes, 0, 144), header(145));
    EXPECT_EQ(image.bytes[144], 0x00);
}

TEST(TvcImage, FileOfExactly256BytesCountsTwoWholeBlocks) {
    // 144 header bytes, one record of 111 bytes, the end byte.
    const std::vector<std::string> lines = {finishedOfSize(109, 0x0A, 0x00)};
    const ImageOutcome image = writeTvcImage(lines, "TVC");
    ASSERT_EQ(image.bytes.size(), 256u);
    EXPECT_EQ(slice(image.bytes, 2, 3), hex("02 00 00"));
    EXPECT_EQ(slice(image.bytes, 130, 2), hex("70 00"));
}

TEST(TvcImage, TwoLinesFollowEachOtherByTheirLengths) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xDD, 0x31}), finished({0x14, 0x00, 0x80})};
    const ImageOutcome image = writeTvcImage(lines, "TVC");
    EXPECT_EQ(slice(image.bytes, 144, image.bytes.size() - 144), hex("06 0A 00 DD 31 FF 05 14 00 80 FF 00"));
    EXPECT_EQ(slice(image.bytes, 0, 144), header(156));
}

TEST(TvcImage, StopsAtALineWhoseRecordPasses255Bytes) {
    const ImageOutcome ok = writeTvcImage(std::vector<std::string>{finishedOfSize(253, 0x0A, 0x00)}, "TVC");
    ASSERT_FALSE(ok.error);
    EXPECT_EQ(ok.bytes[144], 0xFF);

    // Line 120 (78 00) holds 254 bytes.
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0x31}), finishedOfSize(254, 0x78, 0x00)};
    const ImageOutcome failed = writeTvcImage(lines, "TVC");
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.bytes.empty());
    EXPECT_EQ(failed.error->lineIndex, 1u);
    EXPECT_EQ(failed.error->message, "Line 120 is too long for TVC: a line record holds at most 255 bytes!");
}

TEST(TvcImage, StopsWhenTheProgramLengthWouldPassFFFF) {
    // 256 records of 255 bytes and the end byte make 65281; 254 more fit.
    std::vector<std::string> lines(256, finishedOfSize(253, 0x0A, 0x00));
    lines.push_back(finishedOfSize(252, 0x0A, 0x00));
    const ImageOutcome ok = writeTvcImage(lines, "TVC");
    ASSERT_FALSE(ok.error);
    EXPECT_EQ(slice(ok.bytes, 130, 2), hex("FF FF"));
    EXPECT_EQ(ok.bytes.size(), 144u + 0xFFFF);

    lines.back() = finishedOfSize(253, 0x0A, 0x00);
    const ImageOutcome failed = writeTvcImage(lines, "TVC");
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->lineIndex, 256u);
    EXPECT_EQ(failed.error->message, "The program is too large for TVC: its length would pass FFFF!");
}

}  // namespace
}  // namespace lintrel
