#include <gtest/gtest.h>

#include "images/image_buffer.h"

namespace lintrel {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(ImageBuffer, AppendsAndOverwritesInPlaceAfterSeek) {
    ImageBuffer image;
    EXPECT_EQ(image.size(), 0u);
    EXPECT_EQ(image.position(), 0u);
    image.write(Bytes{1, 2, 3, 4});
    EXPECT_EQ(image.position(), 4u);
    image.seek(1);
    image.write(Bytes{9, 8});
    EXPECT_EQ(image.position(), 3u);
    EXPECT_EQ(image.bytes(), (Bytes{1, 9, 8, 4}));
    image.seek(3);
    image.write(Bytes{7, 6});  // passes the end: grows by one
    EXPECT_EQ(image.bytes(), (Bytes{1, 9, 8, 7, 6}));
}

TEST(ImageBuffer, NumbersAreLittleEndianLowBitsOfThirtyTwoBitValues) {
    ImageBuffer image;
    image.write16(0x43F1);
    image.write16(0x12345);   // stored modulo 65536
    image.write16(-1);
    image.write8(0x1FF);      // stored modulo 256
    image.write8(-2);
    EXPECT_EQ(image.bytes(), (Bytes{0xF1, 0x43, 0x45, 0x23, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(ImageBuffer, ReadReturnsBytesAtPositionAndAdvances) {
    ImageBuffer image;
    image.writeRepeated(0xAA, 3);
    image.write8(0x55);
    image.seek(2);
    EXPECT_EQ(image.read(2), (Bytes{0xAA, 0x55}));
    EXPECT_EQ(image.position(), 4u);
    EXPECT_TRUE(image.read(5).empty());  // nothing past the end
    EXPECT_EQ(image.take(), (Bytes{0xAA, 0xAA, 0xAA, 0x55}));
}

}  // namespace
}  // namespace lintrel
