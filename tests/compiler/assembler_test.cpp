// The line assembler through the whole build: comments, TABs, brace units,
// directives and their errors, labels, REM and strings, numbers and limits.
#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

using testing::buildProject;
using testing::bytesOn;
using testing::lineHex;

// "BASIC" keeps text, so the transfer lines show what the assembler gathered
// (upper-cased by the tokenizer).
std::vector<std::string> basicLines(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "&P=BASIC");
    const BuildResult result = buildProject(lines);
    EXPECT_TRUE(result.ok()) << (result.error ? result.error->message : "");
    return testing::storedLines(result);
}

TEST(Assembler, CommentsTabsAndEmptyLinesProduceNothing) {
    EXPECT_EQ(basicLines({"PRINT 1 | show it"}), std::vector<std::string>{"1 PRINT 1 "});
    EXPECT_EQ(basicLines({"PRINT \"A|B\""}), std::vector<std::string>{"1 PRINT \"A"});
    EXPECT_EQ(basicLines({"", "\t\t", "| note", "&I=5", "\\only", "PRINT"}),
              std::vector<std::string>{"1 PRINT"});
    EXPECT_EQ(basicLines({"\tPRINT\t1"}), std::vector<std::string>{"1 PRINT1"});
    EXPECT_EQ(basicLines({"A$=B$&C$"}), std::vector<std::string>{"1 A$=B$&C$"});
}

TEST(Assembler, DefaultProjectBuildsToNothing) {
    const BuildResult result = buildProject({"&P=BASIC", "&C=10", "&I=10", "\t"});
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(testing::storedLines(result).empty());
    EXPECT_EQ(result.platform->id, "BASIC");
}

TEST(Assembler, LineNumberForms) {
    EXPECT_EQ(lineHex(testing::storedLines(buildProject({"&P=HL2", "&C=300", "END"})).at(0)), "01 2C 91");
    EXPECT_EQ(lineHex(testing::storedLines(buildProject({"&P=PRIMO", "&C=300", "END"})).at(0)), "2C 01 80");
    EXPECT_EQ(testing::storedLines(buildProject({"&P=ABC80", "&C=300", "END"})).at(0), "300END");
    EXPECT_EQ(basicLines({"&C=10", "&I=10", "PRINT 1", "GOTO \\a"}),
              (std::vector<std::string>{"10 PRINT 1", "20 GOTO \\A"}));
    // Without "&P=" the text carries no number at all.
    EXPECT_EQ(testing::storedLines(buildProject({"print 1"})), std::vector<std::string>{"PRINT 1"});
}

TEST(Assembler, DirectiveEndsItsLineAndNumbersTextBeforeIt) {
    EXPECT_EQ(basicLines({"PRINT 5 &C=100"}), std::vector<std::string>{"100 PRINT 5 "});
    // Text read before "&P=" on its line would be numbered for one platform
    // and read for another: the build stops there.
    const BuildResult result = buildProject({"END&P=HL2 ignored"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->line, 0);
    // "&p=" is no directive, "&" alone is text.
    EXPECT_EQ(basicLines({"A&p=B&"}), std::vector<std::string>{"1 A&P=B&"});
}

TEST(Assembler, EmulatorCommandKeepsSpacesAndLastOneWins) {
    BuildResult result = buildProject({"&E=emu.exe -run file.htp|x", "&P=HL2"});
    EXPECT_EQ(result.emulatorCommand, "emu.exe -run file.htp");
    result = buildProject({"&E=emu.exe", "&E="});
    EXPECT_EQ(result.emulatorCommand, "");
}

TEST(Assembler, PlatformValueEndsAtBarSpaceOrTab) {
    EXPECT_EQ(buildProject({"&P=HL2 |target"}).platform->id, "HL2");
    EXPECT_EQ(buildProject({"&P=HL2\tx"}).platform->id, "HL2");
    EXPECT_EQ(buildProject({"&P=BASIC", "&P=TVC"}).platform->id, "TVC");
}

struct DirectiveError {
    std::vector<std::string> lines;
    std::string message;
    int line;
    int column;
    int length;
};

TEST(Assembler, DirectiveErrorsSelectTheValue) {
    const std::vector<DirectiveError> cases = {
        {{"&P=HL4"}, "\"HL4\" is not a valid platform!", 0, 3, 3},
        {{"&P=hl2"}, "\"hl2\" is not a valid platform!", 0, 3, 3},
        {{"&P=primo"}, "\"primo\" is not a valid platform!", 0, 3, 5},
        {{"&P= HL2"}, "\"\" is not a valid platform!", 0, 3, 0},
        {{"", "PRINT &P="}, "\"\" is not a valid platform!", 1, 9, 0},
        {{"&C=1O"}, "\"1O\" is not a valid integer value!", 0, 3, 2},
        {{"&C="}, "\"\" is not a valid integer value!", 0, 3, 0},
        {{"&I=0x10"}, "\"0x10\" is not a valid integer value!", 0, 3, 4},
        {{"&C=2147483648"}, "\"2147483648\" is not a valid integer value!", 0, 3, 10},
        {{"&I=-2147483649"}, "\"-2147483649\" is not a valid integer value!", 0, 3, 11},
        {{"&I=1.5"}, "\"1.5\" is not a valid integer value!", 0, 3, 3},
        {{"&I=+"}, "\"+\" is not a valid integer value!", 0, 3, 1},
        {{"&C=10", "&I=10", "A", "  &C=5|x"}, "Parameter \"5\" must be greater than 20!", 3, 5, 1},
        {{"&C=10", "&C=9"}, "Parameter \"9\" must be greater than 10!", 1, 3, 1},
        {{"&I=0"}, "Parameter \"0\" must be 1 or greater!", 0, 3, 1},
        {{"&I=-2147483648"}, "Parameter \"-2147483648\" must be 1 or greater!", 0, 3, 11},
    };
    for (const DirectiveError& c : cases) {
        const BuildResult result = buildProject(c.lines);
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_EQ(result.error->message, c.message);
        EXPECT_EQ(result.error->line, c.line) << c.message;
        EXPECT_EQ(result.error->column, c.column) << c.message;
        EXPECT_EQ(result.error->length, c.length) << c.message;
        EXPECT_TRUE(result.error->selects) << c.message;
    }
}

TEST(Assembler, EqualValuesPassBothNumberChecks) {
    EXPECT_TRUE(buildProject({"&C=10", "&C=10", "&I=1", "&C=+10"}).ok());
    EXPECT_EQ(basicLines({"&C=007", "A"}), std::vector<std::string>{"7 A"});
}

struct LimitCase {
    std::vector<std::string> lines;
    std::string message;
    int line;
    std::size_t linesBefore;
};

TEST(Assembler, LineNumberLimits) {
    const std::vector<LimitCase> cases = {
        {{"&P=HL2", "&C=32750", "&I=10", "A", "B"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (32759)", 4, 1},
        {{"&P=HL3", "&C=32759", "A"}, "", 0, 1},
        {{"&P=TVC", "&C=9990", "&I=10", "A", "B"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (9999)", 4, 1},
        {{"&P=ABC80", "&C=65530", "&I=10", "A"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (65535)", 3, 0},
        {{"&P=HT", "&C=65529", "A", "B"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (65529)", 3, 1},
        {{"&P=BASIC", "&C=2147483646", "A", "B"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (2147483647)", 3, 1},
        {{"&C=2147483647", "&I=2147483647", "A"},
         "The maximum allowed value for BASIC line numbering has been exceeded. (2147483647)", 2, 0},
    };
    for (const LimitCase& c : cases) {
        const BuildResult result = buildProject(c.lines);
        if (c.message.empty()) {
            EXPECT_TRUE(result.ok());
            continue;
        }
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_EQ(result.error->message, c.message);
        EXPECT_EQ(result.error->line, c.line) << c.message;
        EXPECT_FALSE(result.error->selects) << c.message;
        EXPECT_EQ(result.error->length, 0);
    }
}

TEST(Assembler, DirectiveErrorComesBeforeLaterLines) {
    const BuildResult result = buildProject({"&P=HL2", "&C=32760", "A", "&P=X"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, "The maximum allowed value for BASIC line numbering has been exceeded. (32759)");
    EXPECT_EQ(result.error->line, 2);
}

TEST(Assembler, LabelDefinitions) {
    BuildResult result = buildProject({"&P=BASIC", "&C=10", "&I=10", "\\start", "PRINT 1", "\\b|note",
                                       "\\c PRINT 2", " \\d", "\\e\tX"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(testing::storedLines(result), (std::vector<std::string>{"10 PRINT 1", "20 PRINT 2", "30  \\D", "40 X"}));
    EXPECT_EQ(result.labelNames, (std::vector<std::string>{"\\start", "\\b", "\\c", "\\e"}));
    EXPECT_EQ(result.labelNumbers, (std::vector<std::string>{"10", "20", "20", "40"}));
    // A label stands for the next line made, also when "&C=" moves the number first.
    result = buildProject({"&P=BASIC", "\\a", "&C=50", "GOTO \\a"});
    EXPECT_EQ(testing::storedLines(result), std::vector<std::string>{"50 GOTO 50"});
    // The name swallows what would otherwise be a directive.
    result = buildProject({"\\a&P=HL2 X"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.platform->id, "");
    EXPECT_EQ(testing::storedLines(result), std::vector<std::string>{"X"});
}

TEST(Assembler, BraceUnitsPassWhole) {
    // A brace unit is not split by a comment sign, quote or directive inside it.
    EXPECT_EQ(basicLines({"A{|\"&}B"}), std::vector<std::string>{"1 A{|\"&}B"});
    EXPECT_EQ(basicLines({"A{4"}), std::vector<std::string>{"1 A{4"});
    EXPECT_EQ(basicLines({"{"}), std::vector<std::string>{"1 {"});
    // In a string a brace unit is not translated; a token literal stays one.
    EXPECT_EQ(bytesOn("HL2", "PRINT\"{41}{7C}\""), "A8 22 41 7C 22");
}

TEST(Assembler, StringsAndSpaces) {
    EXPECT_EQ(bytesOn("HL2", "PRINT \"A B\""), "A8 22 41 20 42 22");
    EXPECT_EQ(bytesOn("HL2", "PRINT \"A B\"", false), "A8 20 22 41 20 42 22");
    EXPECT_EQ(bytesOn("HL2", "PRINT \"a&\""), "A8 22 41 26 22");
    // An unclosed string runs to the line's end; its text keeps its spaces.
    EXPECT_EQ(bytesOn("HL2", "PRINT \"IF  "), "A8 22 49 46 20 20");
    // Spaces are kept on text platforms whatever the option.
    EXPECT_EQ(basicLines({"A = 1"}), std::vector<std::string>{"1 A = 1"});
}

TEST(Assembler, RemarksAndRemInStrings) {
    EXPECT_EQ(bytesOn("HL2", "rem hi"), "52 45 4D 20 48 49");
    // REM inside a string is string text (its letters keep their codes).
    EXPECT_EQ(bytesOn("HL3", "PRINT\"rem\""), "A8 22 72 65 6D 22");
    // A quote inside a remark is remark text; the remark runs to the end.
    EXPECT_EQ(bytesOn("HL2", "REM\"A B\"C"), "52 45 4D 22 41 20 42 22 43");
    // HL3 has a REM keyword; the remark's text is already codes.
    EXPECT_EQ(bytesOn("HL3", "REM PRINT"), "89 20 50 52 49 4E 54");
    // The letters must be adjacent: "RE M" is program text.
    EXPECT_EQ(bytesOn("HL2", "RE M"), "52 45 4D");
    EXPECT_EQ(bytesOn("HL2", "RE M", false), "52 45 20 4D");
    // A directive still ends a remark.
    const BuildResult result = buildProject({"&P=BASIC", "REM X &C=20 Y"});
    EXPECT_EQ(testing::storedLines(result), std::vector<std::string>{"20 REM X "});
}

}  // namespace
}  // namespace lintrel
