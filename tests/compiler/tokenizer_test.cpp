// The tokenizer through the whole build: each platform's keyword order and
// quirks, Homelab variable names and the character tables. Bytes are those of
// the finished line after its number; spaces are removed unless marked.
#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

struct Row {
    const char* platform;
    const char* line;
    const char* bytes;
    bool removeSpaces = true;
};

void expectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(testing::bytesOn(row.platform, row.line, row.removeSpaces), row.bytes)
            << row.platform << ": " << row.line;
    }
}

TEST(Tokenizer, Homelab2) {
    expectRows({
        {"HL2", "PRINTAB$", "A8 61 42"},
        {"HL2", "DIMA(10)", "90 41 1F 31 30 29"},
        {"HL2", "X=AB(3)", "58 87 41 02 33 29"},
        {"HL2", "ABC$", "41 62 43"},
        {"HL2", "AB$(", "61 42 28"},
        {"HL2", "A$B(", "61 42 1F"},
        {"HL2", "A $", "41 20 24", false},
        {"HL2", "print", "A8"},
        {"HL2", "Print ab", "A8 41 42"},
        {"HL2", "GOTO", "93"},
        {"HL2", "TOTAL", "A6 54 41 4C"},
        {"HL2", "DEF FN", "44 45 46 20 8C", false},
        {"HL2", "DEF FN", "9D"},
        {"HL2", "PRINT\"a\"", "A8 22 41 22"},
        {"HL2", "PRINT\"TO\"", "A8 22 54 4F 22"},
        {"HL2", "A=B^2", "41 87 42 80 32"},
    });
}

TEST(Tokenizer, Homelab3) {
    expectRows({
        {"HL3", "A$=\"X\"", "41 E2 87 22 58 22"},
        {"HL3", "INKEY$", "8C 24"},
        {"HL3", "INKEY", "8C"},
        {"HL3", "EXP((X)", "C3 58 29"},
        {"HL3", "EXP(X)", "45 58 10 58 29"},  // no row matches: XP( is a name
        {"HL3", "FSW((1)", "DC 31 29"},
        {"HL3", "AB(", "41 02"},
        {"HL3", "A%", "41 E1"},
        {"HL3", "PRINT\"_\"", "A8 22 20 22"},
        {"HL3", "PRINT\"\xD6\xD5\xED\xCD\"", "A8 22 5C 5C A9 A9 22"},
        {"HL3", "PRINT\"\xDB\xFB\"", "A8 22 9D BD 22"},
    });
}

TEST(Tokenizer, Primo) {
    expectRows({
        {"PRIMO", "A>B", "41 3E 42"},
        {"PRIMO", "A<=B", "41 3C D5 42"},
        {"PRIMO", "FN", "AC"},
        {"PRIMO", "A$", "41 24"},
        {"PRIMO", "INZ(X)", "D8 28 58 29"},
        {"PRIMO", "INT", "49 4E 54"},
        {"PRIMO", "VARPTR USING", "C0 BF"},
        {"PRIMO", "PRINT\"\xFA\"", "B2 22 5F 22"},
        {"PRIMO", "PRINT\"^\"", "B2 22 D1 22"},  // "^" has no character row; the keyword takes it
        {"PRIMO", "PRINT\"\xC9\xE9\"", "B2 22 40 60 22"},
    });
}

TEST(Tokenizer, Ht) {
    expectRows({
        {"HT", "DELETE", "B6"},
        {"HT", "VARPTR", "C0"},
        {"HT", "USING", "BF"},
        {"HT", "USR", "C1"},
        {"HT", "LLIST AUTO", "B5 B7"},
        {"HT", "TAB(", "BC"},
        {"HT", "TAB", "54 41 42"},
        {"HT", "A$", "41 24"},
        {"HT", "CHAR(39)", "43 48 41 52 28 33 39 29"},
        {"HT", "PRINT\"\xC9\xFB\"", "B2 22 60 01 60 18 22"},
        {"HT", "\xC9=1", "60 01 D5 31"},
        {"HT", "PRINT\"\xDA\xD6\xF5\"", "B2 22 60 06 60 04 60 16 22"},
        {"HT", "PRINT\"a\"", "B2 22 61 22"},
    });
}

TEST(Tokenizer, Tvc) {
    expectRows({
        {"TVC", "A(1)", "41 96 31 95"},
        {"TVC", "A<>B", "41 9D 42"},
        {"TVC", "A><B", "41 A5 42"},
        {"TVC", "A< >B", "41 99 20 9C 42", false},
        {"TVC", "A<=B", "41 9B 42"},
        {"TVC", "A$", "41 24"},
        {"TVC", "PRINT\"*a\"", "DD 22 2A 61 22"},
        {"TVC", "PRINT\"\xDB\xFB\"", "DD 22 88 98 22"},
        {"TVC", "\xE9\xC9", "91 81"},
    });
}

// Stored order decides only between rows that match at the same place; the
// scan goes left to right, so "TON" is TO then N, and "FORD" is FOR then D.
TEST(Tokenizer, KeywordsLeftToRight) {
    expectRows({
        {"HL2", "FOR I=1 TO N", "92 49 87 31 A6 4E"},
        {"PRIMO", "FOR I=1 TO N", "81 49 D5 31 BD 4E"},
        {"HT", "FOR I=1 TO N", "81 49 D5 31 BD 4E"},
        {"TVC", "FOR D=1 TO 9", "F2 44 9A 31 B4 39"},
        {"HL2", "FOR I=1 TO N", "92 20 49 87 31 20 A6 20 4E", false},
        {"HL3", "GOSUB#1", "D4 31"},
        {"HL3", "GOSUB 1", "94 31"},
        {"TVC", "ORD", "C0"},
    });
}

// Keywords, upper case and the character table in one scan: a keyword cut
// off by the line's end, any mix of case, a one-character keyword last, and
// token literals, which neither form keywords nor change case.
TEST(Tokenizer, OneScanKeepsTheOrderOfTheSteps) {
    expectRows({
        {"HT", "pRiNt", "B2"},
        {"HT", "Using", "BF"},
        {"HT", "FO", "46 4F"},
        {"HT", "A=", "41 D5"},
        {"HT", "{46}{4F}R", "46 4F 52"},
        {"HT", "{61}a", "61 41"},
        {"TVC", "print", "DD"},
        {"HL2", "{50}{52}INT", "50 52 49 4E 54"},
    });
}

TEST(Tokenizer, TextPlatformsOnlyUpperCase) {
    const BuildResult result = testing::buildProject({"&P=ABC80", "print \"\xE1\xe9 a\"{7C}"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(testing::storedLines(result), std::vector<std::string>{"1PRINT \"\xE1\xE9 A\"|"});
}

TEST(Tokenizer, TypedLiteralsThroughTheBuild) {
    EXPECT_EQ(testing::bytesOn("HL2", "{a8}"), "A8");
    EXPECT_EQ(testing::bytesOn("TVC", "{FF}{00}"), "FF 00");
    // Text platforms: a literal becomes its byte, everything else upper case.
    const BuildResult basic = testing::buildProject({"&P=BASIC", "print \"hello\"{41}{62}"});
    EXPECT_EQ(testing::storedLines(basic), std::vector<std::string>{"1 PRINT \"HELLO\"Ab"});
    EXPECT_TRUE(testing::storedLines(testing::buildProject({})).empty());
}

}  // namespace
}  // namespace lintrel
