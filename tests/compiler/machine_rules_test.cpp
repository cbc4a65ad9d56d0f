// HT and Primo store TAB(, USR, DATA items, apostrophe remarks and ELSE the
// way their own tokenizers do; Homelab and TVC keep the plain rules.
#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

using testing::bytesOn;

struct Row {
    const char* line;
    const char* bytes;
    bool removeSpaces = true;
};

void expectOnHtAndPrimo(const std::vector<Row>& rows) {
    for (const char* platform : {"HT", "PRIMO"}) {
        for (const Row& row : rows) {
            EXPECT_EQ(bytesOn(platform, row.line, row.removeSpaces), row.bytes) << platform << ": " << row.line;
        }
    }
}

TEST(MachineRules, TabAndUsr) {
    expectOnHtAndPrimo({
        {"PRINT TAB(5);\"X\"", "B2 BC 35 29 3B 22 58 22"},
        {"PRINT TAB(5);\"X\"", "B2 20 BC 35 29 3B 22 58 22", false},
    });
    EXPECT_EQ(bytesOn("HT", "A=USR(0)"), "41 D5 C1 28 30 29");
}

TEST(MachineRules, DataItemsKeepTheirText) {
    const char* items = "88 20 4F 52 41 4E 47 45 2C 20 2D 31 2C 20 4E 45 57 20 59 4F 52 4B";
    expectOnHtAndPrimo({
        {"DATA ORANGE, -1, NEW YORK", items},
        {"DATA ORANGE, -1, NEW YORK", items, false},
        {"data Tan", "88 20 54 61 6E"},
        // A quoted colon stays in the item; the colon after it ends the data.
        {"READ A$:DATA \"A:B\",C", "8B 41 24 3A 88 20 22 41 3A 42 22 2C 43"},
        {"DATA 1:PRINT 2", "88 20 31 3A B2 32"},
        // REM, DATA letters and the apostrophe are item text.
        {"DATA REM,DATA,'", "88 20 52 45 4D 2C 44 41 54 41 2C 27"},
        // In a string and in a remark the letters are text.
        {"PRINT\"DATA\"", "B2 22 44 41 54 41 22"},
        {"REM DATA", "93 20 44 41 54 41"},
    });
    // Accented letters in items get the machine's codes: two bytes on the HT.
    EXPECT_EQ(bytesOn("HT", "DATA k\xF6rte, \xC9"), "88 20 6B 60 15 72 74 65 2C 20 60 01");
    EXPECT_EQ(bytesOn("PRIMO", "DATA k\xF6rte, \xC1"), "88 20 6B 7C 72 74 65 2C 20 5D");
    // A TAB is dropped and a token literal stays one byte inside the items.
    expectOnHtAndPrimo({{"DATA\tto{7C}\tN", "88 74 6F 7C 4E"}});
    // A comment and a directive still end the data.
    const BuildResult result = testing::buildProject({"&P=HT", "DATA A|B", "DATA X&C=100"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(testing::lineHex(testing::storedLines(result).at(0)), "01 00 88 20 41");
    EXPECT_EQ(testing::lineHex(testing::storedLines(result).at(1)), "64 00 88 20 58");
}

TEST(MachineRules, ApostropheRemarks) {
    expectOnHtAndPrimo({
        {"' note", "3A 93 FB 20 6E 6F 74 65"},
        {"PRINT 1 ' A \"B\"", "B2 31 3A 93 FB 20 41 20 22 42 22"},
        {"PRINT \"'\"", "B2 22 27 22"},
        // The apostrophe is row 0; the letters CHAR(39) are no keyword.
        {"CHAR(39)", "43 48 41 52 28 33 39 29"},
    });
}

TEST(MachineRules, ElseAlwaysBehindAColon) {
    expectOnHtAndPrimo({
        {"IF A THEN 20 ELSE 30", "8F 41 CA 32 30 3A 95 33 30"},
        {"IF A THEN PRINT:ELSE PRINT", "8F 41 CA B2 3A 3A 95 B2"},
    });
}

TEST(MachineRules, OtherPlatformsKeepThePlainRules) {
    EXPECT_EQ(bytesOn("HL2", "DATA A B"), "97 41 42");
    EXPECT_EQ(bytesOn("TVC", "DATA A,B"), "FB 41 A4 42");
    EXPECT_EQ(bytesOn("TVC", "IF A THEN 1 ELSE 2", false), "ED 20 41 20 B5 20 31 20 F4 20 32");
    EXPECT_EQ(bytesOn("TVC", "A'B"), "41 27 42");
    EXPECT_EQ(bytesOn("HL3", "A'B"), "41 27 42");
}

}  // namespace
}  // namespace lintrel
