// The gutter's numbering: the number each source line is stored under, lines
// that make none, and the stop at a directive error or the line-number limit.
#include "compiler/line_map.h"

#include <gtest/gtest.h>

namespace lintrel {
namespace {

constexpr long long kNone = kNoBasicLine;

struct Case {
    const char* name;
    std::vector<std::string> lines;
    bool removeSpaces;
    std::vector<long long> numbers;
    int errorLine;  // -1: no error
};

TEST(LineMap, NumbersEachSourceLineAsTheBuildDoes) {
    const std::vector<Case> cases = {
        {"new project", {"&P=BASIC", "&C=10", "&I=10", "\t"}, true, {kNone, kNone, kNone, kNone}, -1},
        {"jumps",
         {"&P=HT", "&C=100", "&I=5", "A", "| note", "\\label", "B", "&C=200", "C", "&I=50", "D", "E"},
         true,
         {kNone, kNone, kNone, 100, kNone, kNone, 105, kNone, 200, kNone, 205, 255},
         -1},
        {"directive after text numbers with its own value",
         {"&P=BASIC", "PRINT 5 &C=100", "PRINT 6 &I=7", "X"},
         true,
         {kNone, 100, 101, 108},
         -1},
        {"no number before the first &P=", {"A", "&P=ABC80", "B"}, true, {kNone, kNone, 2}, -1},
        {"a line of spaces is text only while spaces stay", {"&P=HL2", "  ", "A"}, false, {kNone, 1, 2}, -1},
        {"spaces removed", {"&P=HL2", "  ", "A"}, true, {kNone, kNone, 1}, -1},
        {"stops at a bad value", {"&P=TVC", "A", "&C=x", "B"}, true, {kNone, 1}, 2},
        {"stops at the line-number limit",
         {"&P=TVC", "&C=9990", "&I=10", "A", "B"},
         true,
         {kNone, kNone, kNone, 9990},
         4},
    };
    for (const Case& c : cases) {
        const BasicLineMap map = mapBasicLines(c.lines, BuildOptions{c.removeSpaces});
        EXPECT_EQ(map.numbers, c.numbers) << c.name;
        EXPECT_EQ(map.mappedLines, static_cast<int>(c.numbers.size())) << c.name;
        EXPECT_EQ(map.error ? map.error->line : -1, c.errorLine) << c.name;
    }
}

}  // namespace
}  // namespace lintrel
