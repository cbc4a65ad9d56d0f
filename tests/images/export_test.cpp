#include <gtest/gtest.h>

#include "finished_lines.h"
#include "hex.h"
#include "export/export.h"
#include "images/text_export.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

BuildResult built(std::string_view platform, std::vector<std::string> lines, std::vector<int> sourceLines = {}) {
    BuildResult result;
    result.platform = platform.empty() ? &noPlatform() : findPlatform(platform);
    result.lines = std::move(lines);
    result.sourceLines = sourceLines.empty() ? std::vector<int>(result.lines.size(), 0) : std::move(sourceLines);
    return result;
}

TEST(TextExport, EveryLineFollowedByCrLfBytesUnchanged) {
    const std::vector<std::string> lines = {"10 PRINT \"\xE1\x80\x8F\"", "20 END"};
    const ImageOutcome text = writeTextExport(lines, "BASIC");
    const std::string expected = "10 PRINT \"\xE1\x80\x8F\"\r\n20 END\r\n";
    EXPECT_EQ(text.bytes, Bytes(expected.begin(), expected.end()));
    EXPECT_TRUE(writeTextExport({}, "ABC80").bytes.empty());
}

TEST(OutputFile, EachPlatformGetsItsFileNameAndReport) {
    struct Row {
        const char* platform;
        const char* fileName;
        bool isByteImage;
        int overhead;
        std::size_t emptySize;
    };
    const Row rows[] = {
        {"", "Compiled_BASIC.bas", false, 0, 0},        {"BASIC", "Compiled_BASIC.bas", false, 0, 0},
        {"ABC80", "Compiled_ABC80.bas", false, 0, 0},   {"HL2", "Compiled_HL2.htp", true, 419, 420},
        {"HL3", "Compiled_HL3.htp", true, 419, 420},    {"PRIMO", "Compiled_PRIMO.pri", true, 6, 8},
        {"HT", "Compiled_HT.cas", true, 260, 262},      {"TVC", "Compiled_TVC.cas", true, 143, 145},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.platform);
        const ExportResult result = makeOutputFile(built(row.platform, {}));
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.file.fileName, row.fileName);
        EXPECT_EQ(result.file.isByteImage, row.isByteImage);
        EXPECT_EQ(result.file.reportOverhead, row.overhead);
        EXPECT_EQ(result.file.bytes.size(), row.emptySize);
    }
}

TEST(OutputFile, UsesTheWriterOfThePlatform) {
    const ExportResult primo = makeOutputFile(built("PRIMO", {finished({0x0A, 0x00, 0xB2, 0x31})}));
    EXPECT_EQ(primo.file.bytes, hex("D1 00 00 09 00 F1 43 0A 00 B2 31 00 00 00 C9"));
    const ExportResult hl3 = makeOutputFile(built("HL3", {finished({0x00, 0x0A, 0xA8, 0x31})}));
    EXPECT_EQ(tail(hl3.file.bytes, 3), hex("60 F7 00"));
    const ExportResult text = makeOutputFile(built("ABC80", {"10PRINT 1"}));
    EXPECT_EQ(text.file.bytes, hex("31 30 50 52 49 4E 54 20 31 0D 0A"));
}

TEST(OutputFile, TooLargeNamesTheSourceLineAndSelectsNothing) {
    const ExportResult tvc = makeOutputFile(
        built("TVC", {finished({0x0A, 0x00, 0x31}), finishedOfSize(300, 0x14, 0x00)}, {2, 5}));
    ASSERT_FALSE(tvc.ok());
    EXPECT_EQ(tvc.error->message, "Line 20 is too long for TVC: a line record holds at most 255 bytes!");
    EXPECT_EQ(tvc.error->line, 5);
    EXPECT_EQ(tvc.error->column, 0);
    EXPECT_EQ(tvc.error->length, 0);
    EXPECT_FALSE(tvc.error->selects);
    EXPECT_TRUE(tvc.file.bytes.empty());

    const ExportResult primo = makeOutputFile(built("PRIMO", {finishedOfSize(0xC000, 0x0A, 0x00)}, {7}));
    ASSERT_FALSE(primo.ok());
    EXPECT_EQ(primo.error->message, "The program is too large for PRIMO: its addresses would pass FFFF!");
    EXPECT_EQ(primo.error->line, 7);
    EXPECT_FALSE(primo.error->selects);
}

TEST(OutputFile, AFailedBuildGivesNoFile) {
    BuildResult failed = built("HL2", {});
    failed.error = Diagnostic{"\"HL4\" is not a valid platform!", 0, 3, 3, true};
    const ExportResult fromFailed = makeOutputFile(failed);
    ASSERT_FALSE(fromFailed.ok());
    EXPECT_EQ(fromFailed.error->message, "\"HL4\" is not a valid platform!");
    EXPECT_TRUE(fromFailed.file.fileName.empty());
}

TEST(SizeReport, TwoLinesJoinedByCrLf) {
    EXPECT_EQ(sizeReport(15, 6), "The size of the created file is: 15 bytes.\r\nThe size of the BASIC code is: 9 bytes.");
    EXPECT_EQ(sizeReport(420, 419), "The size of the created file is: 420 bytes.\r\nThe size of the BASIC code is: 1 bytes.");
    EXPECT_EQ(sizeReport(145, 143), "The size of the created file is: 145 bytes.\r\nThe size of the BASIC code is: 2 bytes.");
}

}  // namespace
}  // namespace lintrel
