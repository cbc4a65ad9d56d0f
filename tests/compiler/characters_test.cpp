// A character with no code on the final platform stops the build at its
// first place in the source; directive and number errors come first.
#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

using testing::buildProject;

struct Case {
    std::vector<std::string> lines;
    std::string message;
    int line;
    int column;
};

TEST(Characters, UnencodableCharacterIsReportedWhereItStands) {
    const std::vector<Case> cases = {
        {{"&P=HL2", "PRINT {G1}"}, "The character \"{\" (7B) has no code on HL2!", 1, 6},
        {{"&P=HL2", "PRINT \"\xC1\""}, "The character \"\xC1\" (C1) has no code on HL2!", 1, 7},
        {{"&P=HT", "PRINT \"\x8A\""}, "The character \"\x8A\" (8A) has no code on HT!", 1, 7},
        {{"&P=TVC", "A=1:REM \x80"}, "The character \"\x80\" (80) has no code on TVC!", 1, 8},
        {{"&P=PRIMO", "X{\x8F" "1}"}, "The character \"{\" (7B) has no code on PRIMO!", 1, 1},
        {{"&P=HL3", "A=@"}, "The character \"@\" (40) has no code on HL3!", 1, 2},
        {{"&P=HT", "A=1~"}, "The character \"~\" (7E) has no code on HT!", 1, 3},
        // The first in source order: the earlier line, then the smaller column.
        {{"&P=HL2", "A", "B=\"~\":{G1}", "C{"}, "The character \"~\" (7E) has no code on HL2!", 2, 3},
        {{"&P=HL2", "{G1}\x8A~"}, "The character \"{\" (7B) has no code on HL2!", 1, 0},
        {{"&P=HL2", "~\x8A{"}, "The character \"~\" (7E) has no code on HL2!", 1, 0},
        {{"&P=HL2", "A\x8A{"}, "The character \"\x8A\" (8A) has no code on HL2!", 1, 1},
        // Not in a label definition's name: the "~" after it is selected.
        {{"&P=HL2", "\\lab~ PRINT \"~\""}, "The character \"~\" (7E) has no code on HL2!", 1, 13},
    };
    for (const Case& c : cases) {
        const BuildResult result = buildProject(c.lines);
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_EQ(result.error->message, c.message);
        EXPECT_EQ(result.error->line, c.line) << c.message;
        EXPECT_EQ(result.error->column, c.column) << c.message;
        EXPECT_EQ(result.error->length, 1) << c.message;
        EXPECT_TRUE(result.error->selects) << c.message;
    }
}

TEST(Characters, WhatTheFinalTablesEncodeIsFine) {
    // Comments and directive values may hold anything.
    EXPECT_TRUE(buildProject({"&P=HL2", "A | {G1} \x8A", "&E=~\x8A{"}).ok());
    EXPECT_TRUE(buildProject({"&P=HL2", "\\a\x8A~ B"}).ok());
}

TEST(Characters, TextPlatformsAreNotChecked) {
    for (const char* platform : {"&P=ABC80", "&P=BASIC", ""}) {
        EXPECT_TRUE(buildProject({platform, "PRINT {G1} \x8A \xC1 ~"}).ok()) << platform;
    }
}

TEST(Characters, DirectiveAndLimitErrorsComeFirst) {
    BuildResult result = buildProject({"&P=HL2", "{G1}", "&I=0"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, "Parameter \"0\" must be 1 or greater!");
    result = buildProject({"&P=HL2", "{G1}", "&C=32759", "A", "B"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->line, 4);
    EXPECT_FALSE(result.error->selects);
}

}  // namespace
}  // namespace lintrel
