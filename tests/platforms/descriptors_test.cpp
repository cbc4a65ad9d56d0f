// The descriptor table: lookup rules and the facts the build and the image
// writers take from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/homelab_htp.h"
#include "images/ht_cas.h"
#include "images/primo_pri.h"
#include "images/text_export.h"
#include "images/tvc_cas.h"
#include "platforms/platforms.h"

namespace lintrel {
namespace {

struct Expected {
    std::string_view id;
    std::size_t keywords;
    std::size_t characters;
    LineNumberForm form;
    int limit;
    int shown;
    bool spaceRemoval;
    ImageWriter writer;
    std::string_view fileName;
    std::optional<int> overhead;
    int stages;
};

constexpr int kMaxInt = 2147483647;

const std::vector<Expected> kExpected = {
    {"ABC80", 0, 0, LineNumberForm::Decimal, 65536, 65535, false, writeListing, "Compiled_ABC80.bas",
     std::nullopt, 6},
    {"HL2", 69, 90, LineNumberForm::HighByteFirst, 32760, 32759, true, writeHomelab2Image,
     "Compiled_HL2.htp", 419, 6},
    {"HL3", 96, 104, LineNumberForm::HighByteFirst, 32760, 32759, true, writeHomelab3Image,
     "Compiled_HL3.htp", 419, 6},
    {"PRIMO", 122, 96, LineNumberForm::LowByteFirst, 65530, 65529, true, writePrimoImage,
     "Compiled_PRIMO.pri", 6, 6},
    {"HT", 124, 108, LineNumberForm::LowByteFirst, 65530, 65529, true, writeHtImage, "Compiled_HT.cas",
     260, 6},
    {"TVC", 102, 108, LineNumberForm::LowByteFirst, 10000, 9999, true, writeTvcImage, "Compiled_TVC.cas",
     143, 6},
    {"BASIC", 0, 0, LineNumberForm::DecimalSpace, kMaxInt, kMaxInt, false, writeSpacedListing,
     "Compiled_BASIC.bas", std::nullopt, 5},
};

void expectFacts(const Platform& platform, const Expected& expected) {
    SCOPED_TRACE(std::string(expected.id));
    EXPECT_EQ(platform.id, expected.id);
    EXPECT_EQ(platform.keywords.size(), expected.keywords);
    EXPECT_EQ(platform.characters.size(), expected.characters);
    EXPECT_EQ(platform.lineNumberForm, expected.form);
    EXPECT_EQ(platform.lineNumberLimit, expected.limit);
    EXPECT_EQ(platform.reportedMaximum, expected.shown);
    EXPECT_EQ(platform.spaceRemoval, expected.spaceRemoval);
    EXPECT_EQ(platform.writer, expected.writer);
    EXPECT_EQ(platform.fileName, expected.fileName);
    EXPECT_EQ(platform.reportOverhead, expected.overhead);
    EXPECT_EQ(stageCount(platform), expected.stages);
}

TEST(Descriptors, AcceptedIdentifiersInTestingOrderWithTheirFacts) {
    const auto accepted = acceptedPlatforms();
    ASSERT_EQ(accepted.size(), kExpected.size());
    for (std::size_t i = 0; i < accepted.size(); ++i) expectFacts(accepted[i], kExpected[i]);
}

TEST(Descriptors, FindReturnsTheAcceptedRowItself) {
    for (const Platform& platform : acceptedPlatforms()) {
        EXPECT_EQ(findPlatform(platform.id), &platform) << platform.id;
    }
}

TEST(Descriptors, FindIsExactAndCaseSensitive) {
    for (std::string_view rejected : {"primo", "Primo", "hl2", "ht", "Tvc", "basic", "abc80", "", " HL2",
                                      "HL2 ", "HL", "HL23", "ABC 80", "HT-1080Z", "PRIMO\r"}) {
        EXPECT_EQ(findPlatform(rejected), nullptr) << '"' << rejected << '"';
    }
    // A value with an embedded NUL must not match by its prefix.
    EXPECT_EQ(findPlatform(std::string_view("HT\0", 3)), nullptr);
}

TEST(Descriptors, NoPlatformWritesAPlainListingWithoutNumbers) {
    const Platform& none = noPlatform();
    EXPECT_TRUE(none.id.empty());
    EXPECT_EQ(findPlatform(none.id), nullptr);
    EXPECT_EQ(none.lineNumberForm, LineNumberForm::None);
    EXPECT_TRUE(none.keywords.empty());
    EXPECT_TRUE(none.characters.empty());
    EXPECT_EQ(none.lineNumberLimit, kMaxInt);
    EXPECT_EQ(none.reportedMaximum, kMaxInt);
    EXPECT_FALSE(none.spaceRemoval);
    EXPECT_EQ(none.writer, writeUnnumberedText);
    EXPECT_EQ(none.fileName, "Compiled_BASIC.bas");
    EXPECT_FALSE(none.reportOverhead.has_value());
    EXPECT_EQ(stageCount(none), 4);
}

TEST(Descriptors, Utf8LetterCoversExactlyTheEighteenAccentedLetters) {
    const std::string_view letters =
        "\xC1\xC9\xCD\xD3\xDA\xD6\xD5\xDC\xDB\xE1\xE9\xED\xF3\xFA\xF6\xF5\xFC\xFB";
    int found = 0;
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        const std::string_view form = utf8Letter(byte);
        if (letters.find(byte) == std::string_view::npos) {
            EXPECT_TRUE(form.empty()) << value;
            continue;
        }
        ++found;
        ASSERT_EQ(form.size(), 2u) << value;
        // Latin-1 letters are C3 xx with xx = value - 0x40; Ő ő Ű ű are C5 90/91/B0/B1.
        if (value == 0xD5 || value == 0xF5 || value == 0xDB || value == 0xFB) {
            EXPECT_EQ(static_cast<unsigned char>(form[0]), 0xC5) << value;
        } else {
            EXPECT_EQ(static_cast<unsigned char>(form[0]), 0xC3) << value;
            EXPECT_EQ(static_cast<unsigned char>(form[1]), value - 0x40) << value;
        }
    }
    EXPECT_EQ(found, 18);
    EXPECT_EQ(utf8Letter('\xD5'), "\xC5\x90");
    EXPECT_EQ(utf8Letter('\xF5'), "\xC5\x91");
    EXPECT_EQ(utf8Letter('\xDB'), "\xC5\xB0");
    EXPECT_EQ(utf8Letter('\xFB'), "\xC5\xB1");
}

}  // namespace
}  // namespace lintrel
