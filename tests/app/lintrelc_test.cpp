#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <utility>
#include <thread>

#include "run_lintrelc.h"
#include "system/version.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

constexpr const char* kPrimoPrint = "&P=PRIMO\r\n&C=10\r\nPRINT 1\r\n";
const std::string kPrimo15 = std::string("\xD1\x00\x00\x09\x00\xF1\x43\x0A\x00\xB2\x31\x00\x00\x00\xC9", 15);
const std::string kPrimo16 = std::string("\xD1\x00\x00\x0A\x00\xF2\x43\x0A\x00\xB2\x20\x31\x00\x00\x00\xC9", 16);
const std::string kUsage =
    "usage: lintrelc [--exports DIR | -o FILE] [--space-removal on|off] [--run] [-w|--werror] [-Wunused-label] "
    "PROJECT\n";

class Lintrelc : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTemporaryFolder();
        ASSERT_FALSE(folder.empty());
        exports = folder / "Exports";
        fs::create_directory(exports);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path project(const std::string& name, const std::string& bytes) {
        writeAll(folder / name, bytes);
        return folder / name;
    }
    ProgramRun run(std::vector<std::string> arguments) { return runProgram(lintrelcBinary(), arguments, folder); }
    bool exportsEmpty() const { return fs::is_empty(exports); }

    fs::path folder;
    fs::path exports;
};

// Polls for a file a started command makes.
bool appears(const fs::path& path) {
    for (int i = 0; i < 400; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

TEST_F(Lintrelc, WritesTheImageAndReportsPathAndSizes) {
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const fs::path written = exports / "Compiled_PRIMO.pri";
    EXPECT_EQ(result.out, written.string() + "\nThe size of the created file is: 15 bytes.\n"
                                              "The size of the BASIC code is: 9 bytes.\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readAll(written), kPrimo15);
}

TEST_F(Lintrelc, Hl3WorkedExampleEndToEnd) {
    const fs::path lpj = project("hl3.lpj", "&P=HL3\r\n&C=10\r\nPRINT 1\r\n");
    const ProgramRun result = run({"--exports=" + exports.string(), lpj.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string image = readAll(exports / "Compiled_HL3.htp");
    ASSERT_EQ(image.size(), 425u);
    EXPECT_EQ(image.substr(416), std::string("\x00\x0A\xA8\x31\x60\x80\x60\xF7\x00", 9));
    EXPECT_NE(result.out.find("The size of the BASIC code is: 6 bytes."), std::string::npos);
}

TEST_F(Lintrelc, TextExportsPrintOnlyThePath) {
    const fs::path lpj = project("basic.lpj", "&P=BASIC\n&C=10\n&I=10\nprint 1\ngoto \\top\n\\top end\n");
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, (exports / "Compiled_BASIC.bas").string() + "\n");
    EXPECT_EQ(readAll(exports / "Compiled_BASIC.bas"), "10 PRINT 1\r\n20 GOTO 30\r\n30 END\r\n");
}

TEST_F(Lintrelc, LineEndsMayBeCrLfLfOrCr) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const std::string text = std::string("&P=PRIMO") + end + "&C=10" + end + "PRINT 1";
        const fs::path lpj = project("ends.lpj", text);
        ASSERT_EQ(run({"--exports", exports.string(), lpj.string()}).exitCode, 0);
        EXPECT_EQ(readAll(exports / "Compiled_PRIMO.pri"), kPrimo15) << "line end " << int(end[0]);
    }
}

TEST_F(Lintrelc, SpaceRemovalOptionOverridesOptionsIni) {
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    ASSERT_EQ(run({"--space-removal", "off", "--exports", exports.string(), lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(exports / "Compiled_PRIMO.pri"), kPrimo16);
    ASSERT_EQ(run({"--space-removal=on", "--exports", exports.string(), lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(exports / "Compiled_PRIMO.pri"), kPrimo15);
}

// A mistyped label and an unused one: the file is written as without them.
constexpr const char* kWarned = "&P=BASIC\r\n\\top\tPRINT 1\r\n\\spare\tPRINT 2\r\n\tGOTO \\nowhere\r\n";

TEST_F(Lintrelc, WarningsGoToStderrAndTheFileIsWrittenAsWithoutThem) {
    const fs::path lpj = project("warned.lpj", kWarned);
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, lpj.string() + ":4:7: warning: Label \"\\nowhere\" is not defined.\n"
                                         "\tGOTO \\nowhere\n\t     ^~~~~~~~\n");
    EXPECT_EQ(result.out, (exports / "Compiled_BASIC.bas").string() + "\n");
    const std::string written = readAll(exports / "Compiled_BASIC.bas");
    EXPECT_EQ(written, "1 PRINT 1\r\n2 PRINT 2\r\n3 GOTO \\NOWHERE\r\n");
    // -w: not a word, the same file.
    const ProgramRun quiet = run({"-w", "--exports", exports.string(), lpj.string()});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(readAll(exports / "Compiled_BASIC.bas"), written);
    // Unused labels only when asked.
    const ProgramRun unused = run({"-Wunused-label", "--exports", exports.string(), lpj.string()});
    EXPECT_EQ(unused.exitCode, 0);
    EXPECT_NE(unused.err.find(":2:1: warning: Label \"\\top\" is never used."), std::string::npos) << unused.err;
    EXPECT_NE(unused.err.find(":3:1: warning: Label \"\\spare\" is never used."), std::string::npos);
}

TEST_F(Lintrelc, WerrorWritesNothingAndExitsOne) {
    const fs::path lpj = project("warned.lpj", kWarned);
    const ProgramRun result = run({"--werror", "--run", "--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.starts_with(lpj.string() + ":4:7: error: Label \"\\nowhere\" is not defined.\n"))
        << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(exportsEmpty());
    // Without warnings --werror changes nothing.
    const fs::path clean = project("clean.lpj", kPrimoPrint);
    EXPECT_EQ(run({"--werror", "--exports", exports.string(), clean.string()}).exitCode, 0);
}

TEST_F(Lintrelc, AtMostAThousandWarningsThenTheirNumber) {
    std::string text = "&P=BASIC\r\n";
    for (int i = 0; i < 1005; ++i) text += "GOTO \\x\r\n";
    const fs::path lpj = project("many.lpj", text);
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.ends_with("\u2026 and 5 more warnings.\n")) << result.err.substr(result.err.size() - 200);
    std::size_t printed = 0;
    for (std::size_t at = result.err.find(": warning: "); at != std::string::npos; at = result.err.find(": warning: ", at + 1))
        ++printed;
    EXPECT_EQ(printed, 1000u);
}

// A copy of lintrelc in a folder of its own: Exports and Options.ini beside it.
class PortableFolder : public Lintrelc {
protected:
    void SetUp() override {
        Lintrelc::SetUp();
        bin = folder / "bin";
        fs::create_directory(bin);
        fs::copy_file(lintrelcBinary(), bin / "lintrelc");
        writeAll(bin / "Portable.txt", "");
    }
    ProgramRun runCopy(std::vector<std::string> arguments) { return runProgram(bin / "lintrelc", arguments, folder); }
    fs::path bin;
};

TEST_F(PortableFolder, DefaultExportsFolderIsBesideTheExecutable) {
    fs::create_directory(bin / "Exports");
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun result = runCopy({lpj.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), (bin / "Exports" / "Compiled_PRIMO.pri").string());
    EXPECT_EQ(readAll(bin / "Exports" / "Compiled_PRIMO.pri"), kPrimo15);  // Options.ini missing: removal on
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(PortableFolder, MissingDefaultExportsFolderIsAnErrorAndIsNotCreated) {
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun result = runCopy({lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lintrelc: the exports folder \"" + (bin / "Exports").string() + "\" does not exist\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs::exists(bin / "Exports"));
}

TEST_F(PortableFolder, OptionsIniDecidesSpaceRemovalUnlessTheOptionIsGiven) {
    fs::create_directory(bin / "Exports");
    writeAll(bin / "Options.ini", "[Parameters]\r\nSWVer=v1.7.1b - test version\r\nSpace_Remove=0\r\n");
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    ASSERT_EQ(runCopy({lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(bin / "Exports" / "Compiled_PRIMO.pri"), kPrimo16);
    ASSERT_EQ(runCopy({"--space-removal", "on", lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(bin / "Exports" / "Compiled_PRIMO.pri"), kPrimo15);
    writeAll(bin / "Options.ini", "[Parameters]\r\nSpace_Remove=1\r\n");
    ASSERT_EQ(runCopy({lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(bin / "Exports" / "Compiled_PRIMO.pri"), kPrimo15);
}

// A copy of lintrelc as the package lays it out: usr/bin without the
// portable marker, with a home folder of its own.
class InstalledCopy : public PortableFolder {
protected:
    void SetUp() override {
        PortableFolder::SetUp();
        fs::remove(bin / "Portable.txt");
        home = folder / "home";
        fs::create_directory(home);
        remember("HOME", home.string());
        remember("XDG_CONFIG_HOME", "");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
        PortableFolder::TearDown();
    }
    void remember(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    fs::path home;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(InstalledCopy, ExportsGoUnderTheDocumentsFolderWhichIsMadeWhenMissing) {
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun result = runCopy({lpj.string()});
    const fs::path output = home / "Documents" / "Lintrel" / "Exports" / "Compiled_PRIMO.pri";
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), output.string());
    EXPECT_EQ(readAll(output), kPrimo15);
    EXPECT_TRUE(fs::is_directory(home / "Documents" / "Lintrel" / "Projects"));
    EXPECT_FALSE(fs::exists(bin / "Exports"));
}

TEST_F(InstalledCopy, OptionsIniComesFromTheConfigFolder) {
    fs::create_directories(folder / "config" / "lintrel");
    writeAll(folder / "config" / "lintrel" / "Options.ini", "[Parameters]\r\nSpace_Remove=0\r\n");
    writeAll(bin / "Options.ini", "[Parameters]\r\nSpace_Remove=1\r\n");  // not read when installed
    ::setenv("XDG_CONFIG_HOME", (folder / "config").string().c_str(), 1);
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    ASSERT_EQ(runCopy({lpj.string()}).exitCode, 0);
    EXPECT_EQ(readAll(home / "Documents" / "Lintrel" / "Exports" / "Compiled_PRIMO.pri"), kPrimo16);
}

TEST_F(InstalledCopy, AnExportsFolderThatCannotBeMadeIsAnError) {
    fs::create_directory(home / "Documents");
    writeAll(home / "Documents" / "Lintrel", "a file in the way");
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun result = runCopy({lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Cannot create the folder"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(Lintrelc, BuildErrorShowsPositionSourceLineAndCaret) {
    const fs::path lpj = project("bad.lpj", "&C=10\r\n&P=HL4 |target\r\nPRINT 1\r\n");
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, lpj.string() + ":2:4: error: \"HL4\" is not a valid platform!\n"
                                         "&P=HL4 |target\n"
                                         "   ^~~\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(Lintrelc, AccentedLettersInMessagesReadAsUtf8AndTabsKeepTheCaretAligned) {
    const fs::path lpj = project("hl2.lpj", "&P=HL2\r\n\tPRINT \"\xE1\"\r\n");
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, lpj.string() + ":2:9: error: The character \"\xC3\xA1\" (E1) has no code on HL2!\n"
                                         "\tPRINT \"\xC3\xA1\"\n"
                                         "\t       ^\n");
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(Lintrelc, LineNumberLimitPointsAtTheLineWithoutSelection) {
    const fs::path lpj = project("tvc.lpj", "&P=TVC\r\n&C=9999\r\nPRINT 1\r\nPRINT 2\r\n");
    const ProgramRun result = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, lpj.string() +
                              ":4:1: error: The maximum allowed value for BASIC line numbering has been exceeded. (9999)\n"
                              "PRINT 2\n^\n");
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(Lintrelc, TooLongTvcLineAndTooLargePrimoProgramWriteNothing) {
    const fs::path tvc = project("tvc.lpj", "&P=TVC\r\n&C=10\r\nPRINT 1\r\nPRINT \"" + std::string(260, 'A') + "\"\r\n");
    const ProgramRun longLine = run({"--exports", exports.string(), tvc.string()});
    EXPECT_EQ(longLine.exitCode, 1);
    EXPECT_EQ(longLine.err.substr(0, longLine.err.find('\n')),
              tvc.string() + ":4:1: error: Line 11 is too long for TVC: a line record holds at most 255 bytes!");

    // Records of 258 bytes from 0x43EA: the 187th passes FFFF.
    std::string text = "&P=PRIMO\r\n&C=10\r\n";
    for (int i = 0; i < 200; ++i) text += "PRINT \"" + std::string(250, 'A') + "\"\r\n";
    const fs::path primo = project("primo.lpj", text);
    const ProgramRun large = run({"--exports", exports.string(), primo.string()});
    EXPECT_EQ(large.exitCode, 1);
    EXPECT_EQ(large.err.substr(0, large.err.find('\n')),
              primo.string() + ":189:1: error: The program is too large for PRIMO: its addresses would pass FFFF!");
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(Lintrelc, FileErrorsNameThePath) {
    const ProgramRun missing = run({"--exports", exports.string(), (folder / "nope.lpj").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "lintrelc: cannot read \"" + (folder / "nope.lpj").string() + "\": No such file or directory\n");

    const ProgramRun directory = run({"--exports", exports.string(), folder.string()});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_NE(directory.err.find("cannot read \"" + folder.string() + "\""), std::string::npos) << directory.err;

    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const ProgramRun noFolder = run({"--exports", (folder / "missing").string(), lpj.string()});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(noFolder.err, "lintrelc: the exports folder \"" + (folder / "missing").string() + "\" does not exist\n");
    EXPECT_FALSE(fs::exists(folder / "missing"));

    // The target name is taken by a folder: the write itself fails.
    fs::create_directory(exports / "Compiled_PRIMO.pri");
    const ProgramRun blocked = run({"--exports", exports.string(), lpj.string()});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.err.find((exports / "Compiled_PRIMO.pri").string()), std::string::npos) << blocked.err;
    EXPECT_TRUE(fs::is_directory(exports / "Compiled_PRIMO.pri"));
}

TEST_F(Lintrelc, BadUsageExitsTwoWithTheUsageLine) {
    const fs::path lpj = project("hello.lpj", kPrimoPrint);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--exports"},
        {"--space-removal", "maybe", lpj.string()},
        {"--space-removal"},
        {"--verbose", lpj.string()},
        {lpj.string(), lpj.string()},
        {lpj.string(), "-o"},
        {"--output=", lpj.string()},
        {"-", lpj.string()},
    };
    for (const auto& arguments : cases) {
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(result.err.ends_with(kUsage)) << result.err;
        EXPECT_TRUE(result.err.starts_with("lintrelc: ")) << result.err;
    }
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(Lintrelc, HelpAndVersion) {
    const ProgramRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with(kUsage)) << help.out;
    for (const char* option : {"--exports DIR", "-o, --output FILE", "--space-removal on|off", "--run", "- reads it from standard input"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const ProgramRun version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "lintrelc " + std::string(kProgramVersion) + "\n");
}

TEST_F(Lintrelc, RunStartsTheEmulatorOnlyAfterWriting) {
    const fs::path image = exports / "Compiled_PRIMO.pri";
    const auto withCommand = [&](const std::string& marker) {
        return "&P=PRIMO\r\n&E=test -s '" + image.string() + "' && touch '" + (folder / marker).string() +
               "'\r\nPRINT 1\r\n";
    };
    // Without --run nothing is started; the second run is the barrier.
    const fs::path quiet = project("quiet.lpj", withCommand("quiet"));
    ASSERT_EQ(run({"--exports", exports.string(), quiet.string()}).exitCode, 0);
    fs::remove(image);
    const fs::path started = project("started.lpj", withCommand("started"));
    ASSERT_EQ(run({"--run", "--exports", exports.string(), started.string()}).exitCode, 0);
    EXPECT_TRUE(appears(folder / "started"));  // the image existed when the command ran
    EXPECT_FALSE(fs::exists(folder / "quiet"));
}

TEST_F(Lintrelc, ABuildErrorStartsNothing) {
    const fs::path marker = folder / "marker";
    const fs::path lpj = project("bad.lpj", "&E=touch '" + marker.string() + "'\r\n&P=HL4\r\nPRINT 1\r\n");
    EXPECT_EQ(run({"--run", "--exports", exports.string(), lpj.string()}).exitCode, 1);
    const fs::path good = project("good.lpj", "&E=touch '" + (folder / "barrier").string() + "'\r\n&P=HT\r\n");
    ASSERT_EQ(run({"--run", "--exports", exports.string(), good.string()}).exitCode, 0);
    EXPECT_TRUE(appears(folder / "barrier"));
    EXPECT_FALSE(fs::exists(marker));
}

}  // namespace
}  // namespace lintrel
