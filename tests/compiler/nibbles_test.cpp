// Token literals to nibble pairs, and finished lines back to bytes.
#include <gtest/gtest.h>

#include <random>

#include "build_test_support.h"
#include "compiler/passes.h"

namespace lintrel {
namespace {

std::string encoded(std::string_view text) {
    std::string out;
    passes::encodeNibbles(text, out);
    return out;
}

TEST(Nibbles, TokenLiteralsBecomePairs) {
    EXPECT_EQ(encoded(""), "");
    EXPECT_EQ(encoded("{41}"), "\x84\x81");
    EXPECT_EQ(encoded("{4a}"), "\x84\x8A");
    EXPECT_EQ(encoded("{4A}"), "\x84\x8A");
    EXPECT_EQ(encoded("{{41}}"), "{\x84\x81}");
    EXPECT_EQ(encoded("{GG}{1}{4}{ 1}{41"), "{GG}{1}{4}{ 1}{41");
    EXPECT_EQ(encoded("{00}{FF}{ff}"), std::string("\x80\x80\x8F\x8F\x8F\x8F", 6));
    EXPECT_EQ(encoded(encoded("A{41}{{42}}")), encoded("A{41}{{42}}"));
}

// One scan equals 256 replace-alls in ascending order over random text.
TEST(Nibbles, OneScanEqualsTheReplaceAlls) {
    std::mt19937 random(7);
    const std::string alphabet = "{}{}0aF9gA ";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = 0; i < 30; ++i) text += alphabet[random() % alphabet.size()];
        std::string expected = text;
        std::string out;
        for (unsigned v = 0; v < 256; ++v) {
            const std::string pair{static_cast<char>(0x80 + (v >> 4)), static_cast<char>(0x80 + (v & 15))};
            passes::replaceAll(expected, passes::tokenLiteral(v), pair, out);
            expected.swap(out);
        }
        ASSERT_EQ(encoded(text), expected) << text;
    }
}

TEST(Nibbles, DecodeLineUsesLowHalvesAndDropsAnUnpairedCharacter) {
    EXPECT_EQ(decodeLine("\x8A\x88\x80\x80"), (std::vector<unsigned char>{0xA8, 0x00}));
    EXPECT_EQ(decodeLine("\x8A\x88\x80\x80\x81"), (std::vector<unsigned char>{0xA8, 0x00}));
    EXPECT_EQ(decodeLine("AB"), (std::vector<unsigned char>{0x12}));
    EXPECT_TRUE(decodeLine("").empty());
    EXPECT_TRUE(decodeLine("\x8F").empty());
}

TEST(Nibbles, TypedLiteralsThroughTheBuild) {
    EXPECT_EQ(testing::bytesOn("HL2", "{a8}"), "A8");
    EXPECT_EQ(testing::bytesOn("TVC", "{FF}{00}"), "FF 00");
    // Text platforms: a literal becomes its byte, everything else upper case.
    const BuildResult basic = testing::buildProject({"&P=BASIC", "print \"hello\"{41}{62}"});
    EXPECT_EQ(testing::storedLines(basic), std::vector<std::string>{"1 PRINT \"HELLO\"Ab"});
    EXPECT_TRUE(testing::storedLines(testing::buildProject({})).empty());
}

}  // namespace
}  // namespace lintrel
