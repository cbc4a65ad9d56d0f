// Programs that used to be written broken without a word: each test is
// named after the fault it caught.
#include <gtest/gtest.h>

#include "build_test_support.h"

namespace lintrel {
namespace {

using testing::buildProject;

std::string errorOf(const BuildResult& result) {
    return result.error ? result.error->message : "(built)";
}

TEST(BrokenPrograms, LineMadeForAnotherPlatformStopsTheBuild) {
    // Before any "&P=": no number at all, yet an HL2 image needs two bytes of it.
    const BuildResult unnumbered = buildProject({"PRINT 1", "&P=HL2", "PRINT 2"});
    EXPECT_EQ(errorOf(unnumbered),
              "This program line was made before any \"&P=\", but the last \"&P=\" builds HL2: "
              "put \"&P=HL2\" before the first program line.");
    ASSERT_TRUE(unnumbered.error);
    EXPECT_EQ(unnumbered.error->line, 0);
    // HL2 numbers high byte first: line 10 would be stored as 2560 on TVC.
    const BuildResult swapped =
        buildProject({"&P=HL2", "&C=10", "| comment", "PRINT 1", "&P=TVC", "PRINT 2"});
    EXPECT_EQ(errorOf(swapped),
              "This program line was made for HL2, but the last \"&P=\" builds TVC: "
              "put \"&P=TVC\" before the first program line.");
    ASSERT_TRUE(swapped.error);
    EXPECT_EQ(swapped.error->line, 3);
    // The same platform again, or a platform named before any line, builds.
    EXPECT_TRUE(buildProject({"&P=HL2", "PRINT 1", "&P=HL2", "PRINT 2"}).ok());
    EXPECT_TRUE(buildProject({"&P=HT", "| no line yet", "&P=TVC", "PRINT 2"}).ok());
    // A line read before its own "&P=" is numbered for one platform and read for another.
    const BuildResult midLine = buildProject({"&P=HL2", "PRINT 1 &P=TVC", "PRINT 2"});
    EXPECT_EQ(errorOf(midLine),
              "This program line was made for HL2, but the last \"&P=\" builds TVC: "
              "put \"&P=TVC\" before the first program line.");
}

TEST(BrokenPrograms, LabelBeforeAMovedNumberPointsAtItsLine) {
    const BuildResult result =
        buildProject({"&P=BASIC", "&C=10", "&I=10", "\\sub", "&C=1000", "PRINT \"SUB\"", "GOSUB \\sub"});
    ASSERT_TRUE(result.ok()) << errorOf(result);
    EXPECT_EQ(testing::storedLines(result), (std::vector<std::string>{"1000 PRINT \"SUB\"", "1010 GOSUB 1000"}));
    // The directive on the label's own line sets the number of that line.
    EXPECT_EQ(testing::storedLines(buildProject({"&P=BASIC", "\\a PRINT 5 &C=100", "GOTO \\a"})),
              (std::vector<std::string>{"100 PRINT 5 ", "101 GOTO 100"}));
    // With no program line after it, a label keeps the number the next line would get.
    EXPECT_EQ(testing::storedLines(buildProject({"&P=BASIC", "&C=10", "GOTO \\end", "\\end"})),
              (std::vector<std::string>{"10 GOTO 11"}));
}

TEST(BrokenPrograms, RemDataOrApostropheInsideALabelNameDoNotSplitIt) {
    // "\premium" held REM and "\updata" DATA: the reference was cut in two.
    const BuildResult tvc = buildProject({"&P=TVC", "&C=10", "\\premium PRINT 1", "GOTO \\premium"});
    ASSERT_TRUE(tvc.ok()) << errorOf(tvc);
    EXPECT_EQ(testing::bodyHex(testing::storedLines(tvc).at(1)), "EF 31 30");
    const BuildResult ht = buildProject({"&P=HT", "&C=10", "\\updata PRINT 1", "\\it's PRINT 2",
                                         "\\remote END", "GOSUB \\remote:GOTO \\updata:GOTO \\it's"});
    ASSERT_TRUE(ht.ok()) << errorOf(ht);
    EXPECT_EQ(testing::bodyHex(testing::storedLines(ht).at(3)), "91 31 32 3A 8D 31 30 3A 8D 31 31");
    // A directive, a quote or a brace inside a name starts nothing.
    const BuildResult hidden =
        buildProject({"&P=BASIC", "\\x&E=run A", "\\q\"{41} B", "GOTO \\x&E=run:GOTO \\Q\"{41}"});
    ASSERT_TRUE(hidden.ok()) << errorOf(hidden);
    EXPECT_EQ(hidden.emulatorCommand, "");
    EXPECT_EQ(testing::storedLines(hidden).at(2), "3 GOTO 1:GOTO 2");
}

TEST(BrokenPrograms, TokenLiteralInTextListingIsOneByte) {
    // {41} reached Compiled_BASIC.bas as 84 81, and {7C} (the notation's "|") as 87 8C.
    for (const char* platform : {"BASIC", "ABC80"}) {
        const BuildResult result = buildProject({std::string("&P=") + platform, "PRINT \"{7C}{41}{61}\""});
        ASSERT_TRUE(result.ok()) << platform;
        EXPECT_EQ(testing::storedLines(result).at(0).substr(1),
                  std::string(platform) == "BASIC" ? " PRINT \"|Aa\"" : "PRINT \"|Aa\"");
    }
    EXPECT_EQ(testing::storedLines(buildProject({"print {7c}"})), (std::vector<std::string>{"PRINT |"}));
    // Bytes 0x80-0x8F typed in the project still pass unchanged, and the rest is upper-cased.
    EXPECT_EQ(testing::storedLines(buildProject({"&P=BASIC", "a\x85{8A}b"})), (std::vector<std::string>{"1 A\x85\x8A"
                                                                                        "B"}));
}

TEST(BrokenPrograms, HtCapitalAWithAcuteHasNoCodeSinceItsZeroByteEndsTheLine) {
    const BuildResult result = buildProject({"&P=HT", "PRINT \"\xC1\""});
    EXPECT_EQ(errorOf(result), "The character \"\xC1\" (C1) has no code on HT!");
    EXPECT_EQ(errorOf(buildProject({"&P=HT", "A\xC1=1"})), "The character \"\xC1\" (C1) has no code on HT!");
    // The other accented letters keep their codes.
    EXPECT_EQ(testing::bytesOn("HT", "PRINT \"\xC9\xE1\""), "B2 22 60 01 60 10 22");
}

}  // namespace
}  // namespace lintrel
