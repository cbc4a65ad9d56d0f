// The compile command that F12 and lintrelc share: what it writes, what it
// reports, and that a program that does not fit or a missing folder leaves
// every file as it was.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/export.h"

namespace lintrel {
namespace {

namespace fs = std::filesystem;

class CompileProject : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/lintrel-export-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string contents(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder;
};

TEST_F(CompileProject, WritesTheFileAndHandsBackReportAndEmulatorCommand) {
    const std::vector<std::string> lines = {"&P=PRIMO", "&E=emulator -run x", "PRINT 1"};
    const CompiledProject compiled = compileProject(lines, BuildOptions{}, folder);
    ASSERT_TRUE(compiled.ok());
    EXPECT_EQ(compiled.file, folder / "Compiled_PRIMO.pri");
    EXPECT_EQ(contents(compiled.file).size(), 15u);
    EXPECT_EQ(compiled.sizeReport,
              "The size of the created file is: 15 bytes.\r\nThe size of the BASIC code is: 9 bytes.");
    EXPECT_EQ(compiled.emulatorCommand, "emulator -run x");

    // The project file's bytes give the same file.
    const CompiledProject fromBytes =
        compileProjectText("&P=PRIMO\r\n&E=emulator -run x\rPRINT 1\n", BuildOptions{}, folder);
    ASSERT_TRUE(fromBytes.ok());
    EXPECT_EQ(fromBytes.file, compiled.file);
    EXPECT_EQ(fromBytes.sizeReport, compiled.sizeReport);
}

TEST_F(CompileProject, TextListingsHaveNoSizeReport) {
    const CompiledProject compiled = compileProject({"PRINT 1"}, BuildOptions{}, folder);
    ASSERT_TRUE(compiled.ok());
    EXPECT_EQ(compiled.file, folder / "Compiled_BASIC.bas");
    EXPECT_EQ(contents(compiled.file), "PRINT 1\r\n");
    EXPECT_FALSE(compiled.sizeReport);
}

TEST_F(CompileProject, AnErrorWritesNothingAndKeepsTheEarlierFile) {
    std::ofstream(folder / "Compiled_TVC.cas") << "earlier";
    const std::vector<std::string> tooLong = {"&P=TVC", "PRINT \"" + std::string(300, 'A') + "\""};
    const CompiledProject tooLarge = compileProject(tooLong, BuildOptions{}, folder);
    ASSERT_TRUE(tooLarge.error);
    EXPECT_EQ(tooLarge.error->message, "Line 1 is too long for TVC: a line record holds at most 255 bytes!");
    EXPECT_EQ(tooLarge.error->line, 1);

    const CompiledProject badValue = compileProject({"&E=run", "&P=TVC", "&C=x"}, BuildOptions{}, folder);
    ASSERT_TRUE(badValue.error);
    EXPECT_EQ(badValue.error->message, "\"x\" is not a valid integer value!");
    EXPECT_EQ(contents(folder / "Compiled_TVC.cas"), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(CompileProject, AMissingFolderIsNamedAndNotCreated) {
    const CompiledProject compiled = compileProject({"&P=HT", "PRINT 1"}, BuildOptions{}, folder / "Exports");
    ASSERT_TRUE(compiled.fileError);
    EXPECT_FALSE(compiled.error);
    EXPECT_NE(compiled.fileError->find((folder / "Exports" / "Compiled_HT.cas").string()), std::string::npos);
    EXPECT_FALSE(compiled.sizeReport);
    EXPECT_FALSE(fs::exists(folder / "Exports"));
}

}  // namespace
}  // namespace lintrel
