// The driver: stage counts, the per-pass bar, the source-line map, building
// from file bytes, and inputs that must stay linear and safe.
#include <gtest/gtest.h>

#include <string>

#include "build_test_support.h"

namespace lintrel {
namespace {

struct Recorded {
    std::vector<std::pair<int, int>> stages;
    std::vector<std::pair<int, int>> passes;
};

Recorded record(const std::vector<std::string>& lines) {
    Recorded recorded;
    BuildProgress progress;
    progress.stage = [&](int position, int maximum) { recorded.stages.emplace_back(position, maximum); };
    progress.pass = [&](int position, int maximum) {
        EXPECT_GE(position, 0);
        EXPECT_LE(position, maximum);
        recorded.passes.emplace_back(position, maximum);
    };
    EXPECT_TRUE(build(lines, BuildOptions{}, progress).ok());
    return recorded;
}

TEST(Driver, StageBarEndsFullWithFourFiveOrSixSteps) {
    const std::vector<std::pair<std::vector<std::string>, int>> cases = {
        {{}, 4},
        {{"PRINT 1"}, 4},
        {{"&P=BASIC", "&C=10", "&I=10", "\t"}, 5},
        {{"&P=HL2", "PRINT 1"}, 6},
        {{"&P=ABC80", "A"}, 6},
        {{"&P=BASIC", "&P=TVC", "B"}, 6},
        {{"&P=HT", "&P=BASIC", "A"}, 5},
    };
    for (const auto& [lines, steps] : cases) {
        const Recorded recorded = record(lines);
        ASSERT_FALSE(recorded.stages.empty());
        EXPECT_EQ(recorded.stages.back(), std::make_pair(steps, steps)) << steps;
        int advances = 0;
        for (std::size_t i = 1; i < recorded.stages.size(); ++i) {
            if (recorded.stages[i].first == recorded.stages[i - 1].first + 1) ++advances;
            EXPECT_GE(recorded.stages[i].first, recorded.stages[i - 1].first);
        }
        EXPECT_EQ(advances, steps);
        EXPECT_EQ(recorded.stages.front(), std::make_pair(0, 4));
        ASSERT_FALSE(recorded.passes.empty());
        EXPECT_EQ(recorded.passes.back().first, recorded.passes.back().second);
    }
}

TEST(Driver, PassBarFollowsTheEditorLinesAndEndsAtItsMaximum) {
    std::vector<std::string> lines(3000, "A");
    lines.insert(lines.begin(), "&P=HL2");
    const Recorded recorded = record(lines);
    EXPECT_EQ(recorded.passes.front(), std::make_pair(0, 3001));
    bool reachedLines = false;
    for (const auto& pass : recorded.passes) reachedLines |= pass == std::make_pair(3001, 3001);
    EXPECT_TRUE(reachedLines);
    EXPECT_EQ(recorded.passes.back(), std::make_pair(3000, 3000));
}

TEST(Driver, SourceLinesMapTransferLinesToEditorLines) {
    const BuildResult result = testing::buildProject({"&P=HL2", "", "A", "| x", "\\l", "B", "C"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(testing::origins(result), (std::vector<int>{2, 5, 6}));
    EXPECT_EQ(result.platform->id, "HL2");
}

TEST(Driver, FileBytesBuildLikeTheirLines) {
    const std::string text = "&P=HL2\r\n\\a A=1\rGOTO \\a\nPRINT \"X\"\r\n\r\nB\r\n";
    const BuildResult fromText = buildText(text, BuildOptions{});
    const BuildResult fromLines =
        testing::buildProject({"&P=HL2", "\\a A=1", "GOTO \\a", "PRINT \"X\"", "", "B"});
    ASSERT_TRUE(fromText.ok());
    EXPECT_EQ(testing::storedLines(fromText), testing::storedLines(fromLines));
    EXPECT_EQ(testing::origins(fromText), testing::origins(fromLines));
    const BuildResult bad = buildText("A\r\n&C=x", BuildOptions{});
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error->line, 1);
    EXPECT_EQ(bad.error->column, 3);
}

// The project's bytes are split once; each kind of break, runs of them and
// a break at either end, as the project loader splits them.
TEST(Driver, FileBytesSplitAtEveryKindOfLineBreak) {
    const std::vector<std::pair<std::string, std::vector<int>>> cases = {
        {"A\rB\rC", {0, 1, 2}},
        {"A\r\r\nB\n\rC\r", {0, 2, 4}},
        {"\n\nA", {2}},
        {"A\r\n", {0}},
        {"\r\r\r\rA\n\nB", {4, 6}},
        {"", {}},
    };
    for (const auto& [text, sourceLines] : cases) {
        const BuildResult result = buildText(text, BuildOptions{});
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(testing::origins(result), sourceLines) << testing::hexOf({text.begin(), text.end()});
    }
}

TEST(Driver, EveryByteValueSurvivesOnTextPlatforms) {
    std::string all;
    for (int v = 0; v < 256; ++v) {
        if (v != '\r' && v != '\n' && v != '\t' && v != '|' && v != '&' && v != '{' && v != '\\') {
            all += static_cast<char>(v);
        }
    }
    const BuildResult result = testing::buildProject({"&P=BASIC", all});
    ASSERT_TRUE(result.ok());
    std::string expected = "1 ";
    for (const char c : all) expected += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    EXPECT_EQ(testing::storedLines(result), std::vector<std::string>{expected});
}

TEST(Driver, OddInputsBuildOrFailCleanly) {
    // A NUL byte, a long line of label references and literals, many labels
    // that are prefixes of one another.
    std::vector<std::string> lines = {"&P=HL2", std::string("A\0B", 3)};
    std::string longLine = "A=";
    for (int i = 0; i < 20000; ++i) longLine += "\\l" + std::to_string(i % 50) + ":{41}:";
    lines.push_back(longLine);
    for (int i = 0; i < 2000; ++i) lines.push_back("\\l" + std::to_string(i) + " A");
    lines.push_back("{4");

    BuildResult result = testing::buildProject(lines);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, std::string("The character \"") + '\0' + "\" (00) has no code on HL2!");
    EXPECT_EQ(result.error->line, 1);
    EXPECT_EQ(result.error->column, 1);

    lines[1] = "A";
    result = testing::buildProject(lines);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, "The character \"{\" (7B) has no code on HL2!");
    EXPECT_EQ(result.error->line, static_cast<int>(lines.size()) - 1);
    EXPECT_EQ(result.error->column, 0);

    lines.pop_back();
    result = testing::buildProject(lines);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(testing::bodyHex(testing::storedLines(result).at(1)).substr(0, 32), "41 87 33 3A 41 3A 34 3A 41 3A 35");
}

}  // namespace
}  // namespace lintrel
