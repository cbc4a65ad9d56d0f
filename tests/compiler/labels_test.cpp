// The label resolver: longest names first, case ignored, and exactly the
// result of one replace-all per table row, also where a fast scan would differ.
#include <gtest/gtest.h>

#include <random>

#include "build_test_support.h"
#include "compiler/labels.h"

namespace lintrel {
namespace {

using testing::buildProject;

std::vector<std::string> basicLines(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "&P=BASIC");
    const BuildResult result = buildProject(lines);
    EXPECT_TRUE(result.ok());
    return testing::storedLines(result);
}

TEST(Labels, LongerNamesFirstAndCaseIgnored) {
    EXPECT_EQ(basicLines({"&C=10", "\\loop1 A", "&C=50", "\\loop10 B", "GOTO \\loop10:GOTO \\loop1"}),
              (std::vector<std::string>{"10 A", "50 B", "51 GOTO 50:GOTO 10"}));
    EXPECT_EQ(basicLines({"\\Loop X", "GOSUB \\LOOP"}), (std::vector<std::string>{"1 X", "2 GOSUB 1"}));
    // A reference before the definition, an undefined one, a shorter name
    // inside a longer reference.
    EXPECT_EQ(basicLines({"GOTO \\a:GOTO \\nowhere:GOTO \\ab", "\\a X"}),
              (std::vector<std::string>{"1 GOTO 2:GOTO \\NOWHERE:GOTO 2B", "2 X"}));
}

TEST(Labels, FirstDefinitionOfARepeatedNameWins) {
    const BuildResult result = buildProject({"&P=BASIC", "&C=10", "\\x", "A", "&C=80", "\\X", "GOTO \\x"});
    EXPECT_EQ(testing::storedLines(result), (std::vector<std::string>{"10 A", "80 GOTO 10"}));
    EXPECT_EQ(result.labelNames, (std::vector<std::string>{"\\x", "\\X"}));
}

TEST(Labels, TableIsSortedLongestFirstStably) {
    const BuildResult result = buildProject({"&P=HL2", "\\b", "\\ccc", "\\a", "\\dd", "\\eee"});
    EXPECT_EQ(result.labelNames, (std::vector<std::string>{"\\ccc", "\\eee", "\\dd", "\\b", "\\a"}));
    EXPECT_EQ(result.labelNumbers, (std::vector<std::string>{"1", "1", "1", "1", "1"}));
}

TEST(Labels, BackslashAloneIsAName) {
    EXPECT_EQ(basicLines({"\\ X", "\\ab Y", "A\\ab\\\\"}), (std::vector<std::string>{"1 X", "2 Y", "3 A211"}));
}

TEST(Labels, NotReplacedWithoutPlatformOrInsideTranslatedStrings) {
    EXPECT_EQ(testing::storedLines(buildProject({"\\a X", "GOTO \\a"})), (std::vector<std::string>{"X", "GOTO \\A"}));
    EXPECT_EQ(basicLines({"\\a X", "PRINT \"\\a\""}), (std::vector<std::string>{"1 X", "2 PRINT \"1\""}));
    // On HL2 the string's letters are codes already; "\" has a code too.
    const BuildResult result = buildProject({"&P=HL2", "\\a X", "PRINT\"\\a\""});
    EXPECT_EQ(testing::bodyHex(testing::storedLines(result).at(1)), "A8 22 5C 41 22");
}

TEST(Labels, NumberCompletesAShorterNameWithTheTextBeforeIt) {
    // "\long" becomes 10; then "\x1" finds "\x1" in "\x10".
    EXPECT_EQ(basicLines({"&C=10", "\\long A", "&C=77", "\\x1 B", "GOTO \\x\\long"}),
              (std::vector<std::string>{"10 A", "77 B", "78 GOTO 770"}));
    // A repeated name: its second row finds the "\x1" that "\yy" completed.
    EXPECT_EQ(basicLines({"\\x1 A", "&C=15", "\\yy B", "&C=20", "\\x1 C", "GOTO \\x\\yy"}),
              (std::vector<std::string>{"1 A", "15 B", "20 C", "21 GOTO 205"}));
}

TEST(Labels, NamesHoldingBackslashes) {
    // "\a\b" is replaced first and takes the "\b" of "\a\b\c" with it.
    EXPECT_EQ(basicLines({"\\a\\b A", "&C=5", "\\b\\c B", "GOTO \\a\\b\\c"}),
              (std::vector<std::string>{"1 A", "5 B", "6 GOTO 1\\C"}));
    // Equal lengths: the earlier definition goes first.
    EXPECT_EQ(basicLines({"\\bcd A", "&C=5", "\\x\\b B", "GOTO \\x\\bcd"}),
              (std::vector<std::string>{"1 A", "5 B", "6 GOTO \\X1"}));
}

TEST(Labels, NamesWithRemMatchOnEveryPlatform) {
    EXPECT_EQ(basicLines({"\\rem X", "GOTO \\REM"}), (std::vector<std::string>{"1 X", "2 GOTO 1"}));
    // A defined name is program text as written, so its REM starts no remark.
    const BuildResult result = buildProject({"&P=HL2", "\\remx X", "GOTO\\remx"});
    EXPECT_EQ(testing::bodyHex(testing::storedLines(result).at(1)), "93 31");
}

// One replace-all per row of the sorted table over the line, as defined.
std::string sequential(const passes::LabelTable& sorted, std::string line) {
    std::string out;
    for (std::size_t r = 0; r < sorted.names.size(); ++r) {
        passes::replaceAll(line, sorted.names[r], sorted.numbers[r], out);
        line.swap(out);
    }
    return line;
}

// Random tables and lines over a small alphabet, so names are prefixes of
// each other, hold backslashes and digits, and numbers complete names.
TEST(Labels, ResolverEqualsOneReplaceAllPerRow) {
    std::mt19937 random(20261207);
    const std::string alphabet = "\\\\\\ab1aB0";
    auto word = [&](std::size_t maxLength) {
        std::string text;
        const std::size_t length = 1 + random() % maxLength;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        passes::LabelTable table;
        const int labels = 1 + static_cast<int>(random() % 6);
        const bool innerBackslashes = round % 3 == 0;
        for (int i = 0; i < labels; ++i) {
            std::string name = "\\" + word(4);
            if (!innerBackslashes) {
                std::erase(name, '\\');
                name.insert(0, "\\");
            }
            table.names.push_back(name);
            table.numbers.push_back(std::to_string(random() % 3 == 0 ? random() % 12 : random() % 200));
        }
        passes::sortLabels(table);
        const passes::LabelIndex index = passes::indexLabels(table);
        for (int l = 0; l < 5; ++l) {
            std::string line = word(24);
            const std::string expected = sequential(table, line);
            std::string scratch;
            passes::resolveLabels(index, line, scratch);
            ASSERT_EQ(line, expected) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace lintrel
