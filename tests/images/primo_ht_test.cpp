#include <gtest/gtest.h>

#include "finished_lines.h"
#include "hex.h"
#include "images/ht_cas.h"
#include "images/primo_pri.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

TEST(PrimoImage, OneLineIsTheDocumented15ByteFile) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xB2, 0x31})};
    const ImageOutcome image = writePrimoImage(lines, "PRIMO");
    ASSERT_FALSE(image.error);
    EXPECT_EQ(image.bytes, hex("D1 00 00 09 00 F1 43 0A 00 B2 31 00 00 00 C9"));
}

TEST(PrimoImage, EmptyProgramIsEightBytes) {
    EXPECT_EQ(writePrimoImage({}, "PRIMO").bytes, hex("D1 00 00 02 00 00 00 C9"));
}

TEST(PrimoImage, TwoLinesChainTheirNextLineAddresses) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xB2, 0x31}),
                                            finished({0x14, 0x00, 0xB2, 0x32, 0x33, 0x34})};
    const ImageOutcome image = writePrimoImage(lines, "PRIMO");
    ASSERT_FALSE(image.error);
    EXPECT_EQ(image.bytes, hex("D1 00 00 12 00 "
                               "F1 43 0A 00 B2 31 00 "
                               "FA 43 14 00 B2 32 33 34 00 "
                               "00 00 C9"));
    EXPECT_EQ(slice(image.bytes, 21, 2), hex("00 00"));  // end link
}

TEST(PrimoImage, StopsWhenANextLineAddressWouldPassFFFF) {
    // One record of n + 3 bytes from 0x43EA: the end link may lie at FFFF.
    const std::size_t largest = 0xFFFF - 0x43EA - 3;
    const ImageOutcome ok = writePrimoImage(std::vector<std::string>{finishedOfSize(largest, 0x0A, 0x00)}, "PRIMO");
    ASSERT_FALSE(ok.error);
    EXPECT_EQ(slice(ok.bytes, 5, 2), hex("FF FF"));
    EXPECT_EQ(ok.bytes.size(), largest + 3 + 8);

    const std::vector<std::string> lines = {finishedOfSize(largest - 4, 0x0A, 0x00), finished({0x14, 0x00}),
                                            finished({0x1E, 0x00})};
    const ImageOutcome failed = writePrimoImage(lines, "PRIMO");
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.bytes.empty());
    EXPECT_EQ(failed.error->lineIndex, 1u);
    EXPECT_EQ(failed.error->message, "The program is too large for PRIMO: its addresses would pass FFFF!");
}

TEST(HtImage, OneLineIsTheDocumented269ByteFile) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xB2, 0x31})};
    const ImageOutcome image = writeHtImage(lines, "HT");
    ASSERT_FALSE(image.error);
    ASSERT_EQ(image.bytes.size(), 269u);
    EXPECT_EQ(slice(image.bytes, 0, 255), Bytes(255, 0x00));
    EXPECT_EQ(slice(image.bytes, 255, 14), hex("A5 D3 D3 D3 40 F0 42 0A 00 B2 31 00 00 00"));
}

TEST(HtImage, EmptyProgramIsHeaderAndEndLink) {
    const ImageOutcome image = writeHtImage({}, "HT");
    ASSERT_EQ(image.bytes.size(), 262u);
    EXPECT_EQ(tail(image.bytes, 7), hex("A5 D3 D3 D3 40 00 00"));
}

TEST(HtImage, TwoLinesChainTheirNextLineAddresses) {
    const std::vector<std::string> lines = {finished({0x0A, 0x00, 0xB2, 0x31}),
                                            finished({0x14, 0x00, 0x80})};
    const ImageOutcome image = writeHtImage(lines, "HT");
    EXPECT_EQ(slice(image.bytes, 260, image.bytes.size() - 260),
              hex("F0 42 0A 00 B2 31 00 F6 42 14 00 80 00 00 00"));
}

TEST(HtImage, StopsWhenANextLineAddressWouldPassFFFF) {
    const std::size_t largest = 0xFFFF - 0x42E9 - 3;
    const ImageOutcome ok = writeHtImage(std::vector<std::string>{finishedOfSize(largest, 0x0A, 0x00)}, "HT");
    ASSERT_FALSE(ok.error);
    EXPECT_EQ(slice(ok.bytes, 260, 2), hex("FF FF"));

    const ImageOutcome failed =
        writeHtImage(std::vector<std::string>{finishedOfSize(largest + 1, 0x0A, 0x00)}, "HT");
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.bytes.empty());
    EXPECT_EQ(failed.error->lineIndex, 0u);
    EXPECT_EQ(failed.error->message, "The program is too large for HT: its addresses would pass FFFF!");
}

}  // namespace
}  // namespace lintrel
