// lintrelc list and import end to end: an image listed and imported, a
// listing imported with its warnings, and bad input named with its place.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

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
    ProgramRun run(std::vector<std::string> arguments, const RunSettings& settings = {}) {
        return runProgram(lintrelcBinary(), arguments, folder, settings);
    }

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

// Standard output that is closed or full is an error, as for the build.
TEST_F(LintrelcImport, WriteErrorsOnStandardOutputFail) {
    const fs::path image = file("game.pri", kPrimoImage);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list", image.string()}, std::vector<std::string>{"import", image.string()}}) {
        RunSettings full;
        full.outputTo = "/dev/full";
        const ProgramRun intoFull = run(command, full);
        EXPECT_EQ(intoFull.exitCode, 1) << command[0];
        EXPECT_EQ(intoFull.err, "lintrelc: cannot write to standard output\n");
        RunSettings closed;
        closed.outputClosed = true;
        const ProgramRun intoClosed = run(command, closed);
        EXPECT_EQ(intoClosed.exitCode, 1) << command[0];
        EXPECT_EQ(intoClosed.err, "lintrelc: standard output is closed\n");
    }
}

// A link to a device stays a link and the device gets the bytes; "-o
// /dev/stdout" writes standard output as "-o -" does; a FIFO is written into.
TEST_F(LintrelcImport, OutputIntoDevicesLinksAndFifos) {
    const fs::path project = file("p.lpj", kPrimoPrint);
    const fs::path link = folder / "null";
    fs::create_symlink("/dev/null", link);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"-o", link.string(), project.string()},
          std::vector<std::string>{"import", file("game.pri", kPrimoImage).string(), "-o", link.string()}}) {
        const ProgramRun result = run(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(fs::is_symlink(link)) << command[0];
    }
    const ProgramRun toStdout = run({"-o", "/dev/stdout", project.string()});
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, kPrimo15);
    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const ProgramRun intoFifo = run({"-o", fifo.string(), project.string()});
    EXPECT_EQ(intoFifo.exitCode, 0) << intoFifo.err;
    std::string got(64, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), kPrimo15);
    struct stat status {};
    EXPECT_EQ(::lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Neither a file's name nor a listing's bytes reach the terminal raw.
TEST_F(LintrelcImport, ControlCharactersAreEscaped) {
    const std::string name = "x\x1b]0;pwned\x07.htp";
    const ProgramRun missing = run({"list", (folder / name).string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.find('\x1b'), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("x\\x1b]0;pwned\\x07.htp"), std::string::npos) << missing.err;
    const fs::path listing = file("esc.bas", "10 PRINT \"\x1b\xFF\"\n");
    const ProgramRun bad = run({"import", "--platform", "HT", listing.string()});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.find('\x1b'), std::string::npos) << bad.err;
    EXPECT_EQ(bad.err.find('\xFF'), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("\\x1b"), std::string::npos) << bad.err;
}

// What `list` prints (UTF-8) imports again from a pipe and builds the same image.
TEST_F(LintrelcImport, ListPipedIntoImportRoundTrips) {
    const std::map<std::string, std::string> platformOfFolder = {
        {"hl2", "HL2"}, {"hl3", "HL3"}, {"primo", "PRIMO"}, {"ht", "HT"}, {"tvc", "TVC"}};
    for (const auto& [name, platform] : platformOfFolder) {
        for (const auto& entry : fs::directory_iterator(fs::path(LINTREL_EXAMPLES_DIR) / name)) {
            if (entry.path().extension() != ".lpj") continue;
            SCOPED_TRACE(entry.path().string());
            const fs::path image = folder / "image";
            ASSERT_EQ(run({"--space-removal", "on", "-o", image.string(), entry.path().string()}).exitCode, 0);
            const ProgramRun listed = run({"list", image.string()});
            ASSERT_EQ(listed.exitCode, 0) << listed.err;
            RunSettings piped;
            piped.input = listed.out;
            const ProgramRun imported = run({"import", "--platform", platform, "-"}, piped);
            ASSERT_EQ(imported.exitCode, 0) << imported.err;
            const fs::path project = file("again.lpj", imported.out);
            const fs::path again = folder / "again";
            const ProgramRun rebuilt = run({"--werror", "--space-removal", "off", "-o", again.string(), project.string()});
            ASSERT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
            EXPECT_EQ(rebuilt.err, "");
            EXPECT_EQ(readAll(again), readAll(image));
        }
    }
}

// An image whose header names another machine than --platform is read as
// told, with a warning.
TEST_F(LintrelcImport, APlatformTheHeaderContradictsWarns) {
    const fs::path project = file("p.lpj", "&P=HL3\r\nPRINT 1\r\n");
    const fs::path image = folder / "p.htp";
    ASSERT_EQ(run({"-o", image.string(), project.string()}).exitCode, 0);
    const ProgramRun listed = run({"list", "--platform", "HL2", image.string()});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.err, image.string() + ": offset 0 (0000): warning: The image's header is one Lintrel writes for "
                                           "HL3, not for HL2; it is read as HL2 all the same.\n");
    EXPECT_EQ(run({"list", "--platform", "HL3", image.string()}).err, "");
}

// Past 1,000 warnings only their number.
TEST_F(LintrelcImport, LenientWarningsAreCapped) {
    std::string listing = "10 PRINT\n";
    for (int i = 0; i < 1500; ++i) listing += "\"\n";
    const fs::path path = file("long.bas", listing);
    const ProgramRun result = run({"import", "--platform", "HT", "--lenient", path.string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1001);
    EXPECT_TRUE(result.err.ends_with("\u2026 and 500 more warnings.\n")) << result.err.substr(result.err.size() - 200);
}

}  // namespace
}  // namespace lintrel
