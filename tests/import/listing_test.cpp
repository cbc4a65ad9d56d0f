// The listing: stored bytes to text, one row per rule, and every byte value in
// every place building back to itself.
#include <gtest/gtest.h>

#include <random>

#include "images/readers.h"
#include "import/listing.h"
#include "import/typed_line.h"

namespace lintrel {
namespace {

std::vector<unsigned char> hexBytes(std::string_view hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

struct Row {
    const char* platform;
    const char* stored;  // hexadecimal bytes after the line number
    const char* text;
};

const Row kRows[] = {
    // Keywords, strings, remarks; the first row of a shared code names it.
    {"HT", "B2 20 22 48 49 22", "PRINT \"HI\""},
    {"HT", "B6", "DELETE"},
    {"HT", "3A 93 FB 20 78", "' x"},  // the apostrophe remark, its text as typed
    {"HT", "93 20 22 61", "REM \"a"},  // a quote inside a remark ends nothing
    {"PRIMO", "8F 41 CA 31 30 3A 95 32 30", "IFATHEN10ELSE20"},
    {"HT", "88 20 61 2C 20 62 3A B2", "DATA a, b:PRINT"},  // DATA items as typed, up to the colon
    {"HT", "B2 22 60 00 60 18 22", "PRINT\"{60}{00}\xFB\""},   // accented letters, two bytes each; Á has no code
    {"TVC", "DD 22 81 91 22 95 9D", "PRINT\"\xC9\xE9\")<>"},
    {"PRIMO", "B2 22 5B 7D 22", "PRINT\"\xF3\xED\""},
    // Homelab names and REM as letters.
    {"HL2", "A8 61 42 3B 61", "PRINTAB$;A$"},
    {"HL2", "41 1F 31 29 87 41 02 33 29", "A(1)=AB(3)"},
    {"HL2", "52 45 4D 20 41 42 24", "REM AB$"},
    {"HL3", "41 87 8C 24", "A=INKEY$"},
    {"HL3", "41 E2 87 22 58 22", "A$=\"X\""},
    // No way back: token literals.
    {"HT", "B2 20 7C 7B 7D 5C", "PRINT {7C}{7B}{7D}{5C}"},
    {"HT", "22 7C 09 0D 22", "\"{7C}{09}{0D}\""},
    {"HT", "26 50 D5 31 26 58", "{26}P=1&X"},  // "&P=" would be a directive
    {"HT", "26 50 3D 31", "&P{3D}1"},          // a plain 3D: "=" is the keyword D5 there
    {"TVC", "97 43 9A", "{97}C="},
    {"HT", "61 01", "{61}{01}"},  // lower case outside strings reads as capitals
    {"HL3", "24", "{24}"},        // a plain "$" is the keyword E2 there
    // Letters that would meet into another keyword, a remark or DATA.
    {"HT", "54 4F", "{54}O"},
    {"HT", "47 4F BD", "{47}OTO"},
    {"HL2", "52 45 B3", "RE{B3}"},
    {"TVC", "99 9C", "{99}>"},
    {"HT", "44 41 BC", "DA{BC}"},
};

TEST(Listing, EachRuleGivesItsText) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.platform) + " " + row.stored);
        const Platform& platform = *findPlatform(row.platform);
        LineLister lister(platform);
        ListedLine listed;
        const auto bytes = hexBytes(row.stored);
        lister.list(bytes, listed);
        EXPECT_EQ(listed.text, row.text);
    }
}

TEST(Listing, SpacesOutsideStringsAndRemarksAreNoted) {
    LineLister lister(*findPlatform("HT"));
    ListedLine listed;
    lister.list(hexBytes("B2 22 20 22"), listed);  // PRINT" "
    EXPECT_FALSE(listed.spacesOutsideStrings);
    lister.list(hexBytes("93 20 41"), listed);  // REM A
    EXPECT_FALSE(listed.spacesOutsideStrings);
    EXPECT_TRUE(listed.remarkOnly);
    EXPECT_EQ(listed.text.substr(listed.remark), " A");
    lister.list(hexBytes("B2 20 31"), listed);  // PRINT 1
    EXPECT_TRUE(listed.spacesOutsideStrings);
}

// Random lines of every byte value, weighted towards the bytes that switch
// modes, list to text that builds back to them on every platform.
TEST(Listing, AnyStoredLineBuildsBack) {
    std::mt19937 random(1);
    const std::vector<unsigned char> often = {0x22, 0x3A, 0x20, 0x27, 0x88, 0x93, 0x97, 0x52, 0x45,
                                              0x4D, 0x44, 0x41, 0x54, 0x24, 0x28, 0x60, 0x26, 0x50};
    std::vector<unsigned char> rebuilt;
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.reader == nullptr) continue;
        LineLister lister(platform);
        TypedLineReader reader(platform);
        ListedLine listed;
        for (int trial = 0; trial < 3000; ++trial) {
            std::vector<unsigned char> bytes(1 + random() % 24);
            for (unsigned char& b : bytes) b = random() % 3 == 0 ? often[random() % often.size()] : random() % 256;
            lister.list(bytes, listed);
            const auto error = reader.read(listed.text, rebuilt);
            ASSERT_FALSE(error) << platform.id << " " << listed.text << ": " << error->message;
            ASSERT_EQ(rebuilt, bytes) << platform.id << " " << listed.text;
        }
    }
}

}  // namespace
}  // namespace lintrel
