#include <gtest/gtest.h>

#include "export/export.h"

namespace lintrel {
namespace {

// An empty program on `platform`; the images themselves are held to the
// dumps in tests/golden.
BuildResult built(std::string_view platform) {
    BuildResult result;
    result.platform = platform.empty() ? &noPlatform() : findPlatform(platform);
    return result;
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
        const ExportResult result = makeOutputFile(built(row.platform));
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.file.fileName, row.fileName);
        EXPECT_EQ(result.file.isByteImage, row.isByteImage);
        EXPECT_EQ(result.file.reportOverhead, row.overhead);
        EXPECT_EQ(result.file.bytes.size(), row.emptySize);
    }
}

TEST(OutputFile, AFailedBuildOrUnknownPlatformGivesNoFile) {
    BuildResult failed = built("HL2");
    failed.error = Diagnostic{"\"HL4\" is not a valid platform!", 0, 3, 3, true};
    const ExportResult fromFailed = makeOutputFile(failed);
    ASSERT_FALSE(fromFailed.ok());
    EXPECT_EQ(fromFailed.error->message, "\"HL4\" is not a valid platform!");
    EXPECT_TRUE(fromFailed.file.fileName.empty());
}

// A writer that gets a line wrong: the image no longer reads back as the
// lines it was made from, and no file comes out.
ImageOutcome writeWithTheLastByteFlipped(const Program& program, std::string_view platform) {
    ImageOutcome outcome = findPlatform("PRIMO")->writer(program, platform);
    outcome.bytes[outcome.bytes.size() - 5] ^= 0x01;  // the last line's last byte, before 00, the end link and C9
    return outcome;
}

TEST(OutputFile, AnImageThatDoesNotReadBackIsAnInternalError) {
    Platform faulty = *findPlatform("PRIMO");
    faulty.writer = writeWithTheLastByteFlipped;
    BuildResult result = built("PRIMO");
    result.platform = &faulty;
    result.program.clear();
    result.program.addLine(10, std::string_view("\xB2\x31"), 3);  // 10 PRINT 1
    const ExportResult exported = makeOutputFile(result);
    ASSERT_FALSE(exported.ok());
    EXPECT_EQ(exported.error->message,
              "Internal error: the PRIMO image does not read back as built (line 10 at offset 5 differs); "
              "nothing was written.");
    EXPECT_EQ(exported.error->line, 3);
    EXPECT_TRUE(exported.file.bytes.empty());

    faulty.writer = findPlatform("HT")->writer;  // an image of another format
    EXPECT_EQ(makeOutputFile(result).error->message,
              "Internal error: the PRIMO image does not read back as built (it cannot be read: offset 0 (0000): "
              "expected D1 (a BASIC program block), found 00); nothing was written.");
}

TEST(SizeReport, TwoLinesJoinedByCrLf) {
    EXPECT_EQ(sizeReport(15, 6), "The size of the created file is: 15 bytes.\r\nThe size of the BASIC code is: 9 bytes.");
    EXPECT_EQ(sizeReport(420, 419), "The size of the created file is: 420 bytes.\r\nThe size of the BASIC code is: 1 bytes.");
    EXPECT_EQ(sizeReport(145, 143), "The size of the created file is: 145 bytes.\r\nThe size of the BASIC code is: 2 bytes.");
}

}  // namespace
}  // namespace lintrel
