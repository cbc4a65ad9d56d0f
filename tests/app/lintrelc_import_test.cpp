// lintrelc list and import end to end: an image listed and imported, a
// listing imported with its warnings, and bad input named with its place.
#include <gtest/gtest.h>

#include "run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

// 10 PRINT "É" / 20 GOTO 10 on the Primo (É is 40 there).
const std::string kPrimoImage =
    std::string("\xD1\x00\x00\x13\x00\xF3\x43\x0A\x00\xB2\x22\x40\x22\x00\xFB\x43\x14\x00\x8D\x31\x30\x00\x00\x00\xC9",
                25);

class LintrelcImport : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTemporaryFolder();
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path file(const std::string& name, const std::string& bytes) {
        writeAll(folder / name, bytes);
        return folder / name;
    }
    ProgramRun run(std::vector<std::string> arguments) { return runProgram(lintrelcBinary(), arguments, folder); }

    fs::path folder;
};

TEST_F(LintrelcImport, ListsAnImageInUtf8OrAsStored) {
    const fs::path image = file("game.pri", kPrimoImage);
    const ProgramRun utf8 = run({"list", image.string()});
    EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
    EXPECT_EQ(utf8.out, "10 PRINT\"\xC3\x89\"\n20 GOTO10\n");
    const ProgramRun raw = run({"list", "--cp1250", image.string()});
    EXPECT_EQ(raw.out, "10 PRINT\"\xC9\"\n20 GOTO10\n");
}

TEST_F(LintrelcImport, ImportsAnImageToAFileOrStandardOutput) {
    const fs::path image = file("game.pri", kPrimoImage);
    const fs::path project = folder / "game.lpj";
    const ProgramRun toFile = run({"import", image.string(), "-o", project.string()});
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
    const std::string text = readAll(project);
    EXPECT_NE(text.find("&P=PRIMO\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\\l10\tPRINT\"\xC9\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tGOTO\\l10\r\n"), std::string::npos) << text;
    EXPECT_EQ(run({"import", image.string()}).out, text);
}

TEST_F(LintrelcImport, ListingsNeedTheirPlatformAndWarnWhenLenient) {
    const fs::path listing = file("prog.bas", "20 PRINT 2\r\n10 GOTO 20\r\n");
    const ProgramRun noPlatform = run({"import", listing.string()});
    EXPECT_EQ(noPlatform.exitCode, 1);
    EXPECT_NE(noPlatform.err.find("needs --platform"), std::string::npos) << noPlatform.err;
    const ProgramRun strict = run({"import", "--platform", "HT", listing.string()});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.err.rfind(listing.string() + ":2:", 0), 0u) << strict.err;
    const ProgramRun lenient = run({"import", "--platform", "HT", "--lenient", listing.string()});
    EXPECT_EQ(lenient.exitCode, 0) << lenient.err;
    EXPECT_NE(lenient.err.find("warning"), std::string::npos);
    EXPECT_NE(lenient.out.find("GOTO \\l20"), std::string::npos) << lenient.out;
}

TEST_F(LintrelcImport, ADamagedImageNamesTheFileAndOffset) {
    std::string damaged = kPrimoImage;
    damaged[14] = '\x40';  // line 20's next-line address now points backwards
    const fs::path image = file("bad.pri", damaged);
    const ProgramRun result = run({"list", image.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(image.string() + ": offset 14 (000E): error: ", 0), 0u) << result.err;
    EXPECT_EQ(run({"import", "--renumber", "0,10", image.string()}).exitCode, 2);
}

}  // namespace
}  // namespace lintrel
