// Line-number references: on the lines as each machine stores them (built
// from one program line), and on text as listings and as project lines.
#include "compiler/line_references.h"

#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

// "10 20" for the numbers found; labels as "\name".
std::string describe(std::string_view bytes, const std::vector<LineReference>& found) {
    std::string text;
    for (const LineReference& reference : found) {
        if (!text.empty()) text += ' ';
        const std::string_view written = bytes.substr(reference.offset, reference.length);
        text += reference.isLabel ? std::string(written) : std::to_string(reference.number);
        // The place given is where the digits stand.
        if (!reference.isLabel && std::to_string(reference.number) != written)
            text += "@" + std::string(written);
    }
    return text;
}

struct StoredRow {
    const char* platform;
    const char* line;
    const char* expected;
};

// clang-format off
constexpr StoredRow kStoredRows[] = {
    {"HL2", "GOTO 10:GOSUB 20", "10 20"},
    {"HL2", "IF A THEN 30", "30"},
    {"HL2", "ON X GOTO 10,20,30", "10 20 30"},
    {"HL2", "RESTORE 40:RUN 50", "40 50"},
    {"HL2", "PRINT \"GOTO 230\"", ""},
    {"HL2", "REM GOTO 230", ""},
    {"HL2", "GOTO X:GOTO", ""},
    {"HL3", "REM \xCD" "10", ""},  // Í is A9, the code of RUN, inside a remark
    {"HL3", "DATA 1,GOTO 5:GOTO 6", "6"},
    {"PRIMO", "IF A THEN 10 ELSE 20", "10 20"},
    {"PRIMO", "ON ERROR GOTO 0", ""},
    {"PRIMO", "ON ERROR GOTO 100", "100"},
    {"HT", "ON X GOSUB 100, 200 ,300", "100 200 300"},
    {"HT", "IF ERL=100 THEN RESUME 200", "100 200"},
    {"HT", "IF ERL<>300 OR ERL >= 40 THEN 7", "300 40 7"},
    {"HT", "RESUME 0:RESUME NEXT", ""},
    {"HT", "' GOTO 10", ""},
    {"HT", "A=1 ' GOTO 10", ""},
    {"HT", "DATA \"A:GOTO 5\",GOTO 6:GOTO 7", "7"},
    {"HT", "GOTO 0010", "10@0010"},
    {"HT", "GOTO 99999999999999999999", "999999999999999999@99999999999999999999"},
    {"TVC", "ON X GOTO 10,20", "10 20"},
    {"TVC", "IF A THEN 10 ELSE 20", "10 20"},
    {"TVC", "! GOTO 5", ""},
    {"TVC", "DATA 1,2:GOSUB 9", "9"},
    {"TVC", "PRINT \"GOTO 9\";:GOTO 8", "8"},
};
// clang-format on

TEST(LineReferences, OnStoredLines) {
    for (const StoredRow& row : kStoredRows) {
        const BuildResult built = testing::buildProject({"&P=" + std::string(row.platform), row.line}, false);
        ASSERT_TRUE(built.ok() && testing::storedLines(built).size() == 1) << row.platform << " " << row.line;
        const std::string body(built.program.text(0));
        const Platform& platform = *findPlatform(row.platform);
        EXPECT_EQ(describe(body, findLineReferences(platform, body)), row.expected)
            << row.platform << " " << row.line;
    }
}

struct TextRow {
    const char* platform;  // "" for none
    TextForm form;
    const char* text;
    const char* expected;
};

// clang-format off
constexpr TextRow kTextRows[] = {
    {"BASIC", TextForm::Listing, "GOTO 230", "230"},
    {"BASIC", TextForm::Listing, "goto 10:gosub 20", "10 20"},
    {"BASIC", TextForm::Listing, "PRINT \"GOTO 230\":GOTO 5", "5"},
    {"BASIC", TextForm::Listing, "REM GOTO 5", ""},
    {"BASIC", TextForm::Listing, "PREMIUM=1:GOTO 5", ""},  // REM hides in the word, as the assembler reads it
    {"BASIC", TextForm::Listing, "DATA GOTO 5,6:GOTO 7", "7"},
    {"BASIC", TextForm::Listing, "ON ERROR GOTO 0:RESUME 0:RESUME 10", "10"},
    {"BASIC", TextForm::Listing, "A=1 ' GOTO 5", ""},
    {"BASIC", TextForm::Listing, "IF ERL = 20 THEN 30 ELSE 40", "20 30 40"},
    {"BASIC", TextForm::Listing, "A$=\"X|\":GOTO 5", "5"},
    {"ABC80", TextForm::Listing, "ON X GOTO 10,20", "10 20"},
    {"", TextForm::Listing, "RESTORE 100:RUN 200", "100 200"},
    {"HT", TextForm::Listing, "ON X GOTO 1,2", "1 2"},
    {"TVC", TextForm::Listing, "PRINT 1 ! GOTO 5", ""},
    {"HL2", TextForm::Listing, "A=1 ' GOTO 5", "5"},  // no apostrophe remark on the Homelab
    // Project lines: comments, directives, brace units, TABs and labels.
    {"HT", TextForm::Notation, "\tGOTO\t10 | GOTO 20", "10"},
    {"HT", TextForm::Notation, "GOTO \\loop:GOSUB 20", "\\loop 20"},
    {"HT", TextForm::Notation, "ON X GOTO \\a,\\b,30", "\\a \\b 30"},
    {"HT", TextForm::Notation, "PRINT 5 &C=100 GOTO 10", ""},
    {"HT", TextForm::Notation, "PRINT \"A|B\" GOTO 10", ""},
    {"HT", TextForm::Notation, "{47}OTO 10:GOTO 20", "20"},
    {"BASIC", TextForm::Listing, "GOTO \\loop", ""},
    // Long lines are passed over eight bytes at a time: keywords across and
    // at the ends of those steps, and a brace unit cut short at the end.
    {"BASIC", TextForm::Listing, "XXXXXXXGOTO 5:XXXXXXXXXXXXXXXTHEN 6", "5 6"},
    {"BASIC", TextForm::Listing, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXgosub 7", "7"},
    {"BASIC", TextForm::Listing, "PRINT \"XXXXXXXXXXXXXXXX GOTO 1\";:GOTO 8", "8"},
    {"BASIC", TextForm::Listing, "XXXXXXXXXXXXXXXXXXXXXXXXXXXX'GOTO 9", ""},
    {"HT", TextForm::Notation, "GOTO 10:PRINT XXXXXXXXXXXXXXXXXX{4", "10"},
    {"HT", TextForm::Notation, "XXXXXXXXXXXXXXXXXXXXXXXXX{47}OTO 10 GOSUB 20", "20"},
};
// clang-format on

TEST(LineReferences, OnText) {
    for (const TextRow& row : kTextRows) {
        const Platform& platform =
            std::string_view(row.platform).empty() ? noPlatform() : *findPlatform(row.platform);
        EXPECT_EQ(describe(row.text, findLineReferencesInText(platform, row.text, row.form)), row.expected)
            << row.platform << " " << row.text;
    }
}

TEST(LineReferences, PlacesAreWhereTheDigitsStand) {
    const std::string text = "ON X GOTO 10, 200";
    const auto found = findLineReferencesInText(*findPlatform("BASIC"), text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].offset, 10u);
    EXPECT_EQ(found[0].length, 2u);
    EXPECT_EQ(found[1].offset, 14u);
    EXPECT_EQ(found[1].length, 3u);
    // Text platforms' stored lines are their text.
    EXPECT_EQ(describe(text, findLineReferences(*findPlatform("ABC80"), text)), "10 200");
}

}  // namespace
}  // namespace lintrel
