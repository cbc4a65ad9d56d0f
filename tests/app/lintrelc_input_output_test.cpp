// What lintrelc reads and where it writes: regular files within the size
// limit, standard input, -o FILE and -o - (standard output), and the errors
// of each, end to end with the real binary.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdlib>
#include <cstring>

#include "run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

const std::string kPrimoSizes = "The size of the created file is: 15 bytes.\nThe size of the BASIC code is: 9 bytes.\n";

class InputAndOutput : public ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        primo = folder / "primo.lpj";
        writeAll(primo, kPrimoPrint);
    }
    ProgramRun run(std::vector<std::string> arguments, const RunSettings& settings = {}) {
        arguments.insert(arguments.begin(), {"--exports", exports.string()});
        return runProgram(lintrelcBinary(), arguments, folder, settings);
    }
    // A file of `size` zero bytes that takes no room on disk.
    fs::path sparseFile(const std::string& name, std::uintmax_t size) {
        writeAll(folder / name, "");
        fs::resize_file(folder / name, size);
        return folder / name;
    }
    fs::path primo;
};

// A FIFO, a device or a socket would block or never end (/dev/zero grew
// until the program died): only regular files are read.
TEST_F(InputAndOutput, OnlyRegularFilesAreRead) {
    const fs::path fifo = folder / "fifo.lpj", socketPath = folder / "socket.lpj";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    RunSettings settings;
    settings.timeout = std::chrono::seconds(20);  // a hang counts as a failure
    for (const fs::path& path : {fs::path("/dev/zero"), fs::path("/dev/null"), fifo, socketPath}) {
        const ProgramRun result = run({path.string()}, settings);
        EXPECT_EQ(result.exitCode, 1) << path;
        EXPECT_EQ(result.err, "lintrelc: cannot read \"" + path.string() + "\": it is not a regular file\n");
    }
    ::close(listener);
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(InputAndOutput, ProjectsOver256MbAreRefusedWithTheirSize) {
    const fs::path big = sparseFile("big.lpj", 256u * 1024 * 1024 + 1);
    const ProgramRun result = run({big.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lintrelc: cannot read \"" + big.string() +
                              "\": the project is 256.0 MB (268435457 bytes); projects over 256 MB are not read\n");
    EXPECT_TRUE(exportsEmpty());
}

// An allocation that fails, whether reading the file or deep in the build,
// the listing or the import, ends the program with one line and no file
// instead of an abort. Under the sanitizers every large allocation fails
// through a preloaded operator new; elsewhere (where the C++ library is
// linked in and no preload can stand in front of it) the address space is
// limited for real.
TEST_F(InputAndOutput, RunningOutOfMemoryEndsWithOneLineAndWritesNothing) {
    std::string manyLines;
    for (int i = 0; i < 4'000'000; ++i) manyLines += "A\r\n";
    writeAll(folder / "lines.lpj", manyLines);
    std::string listing;
    for (int i = 1; i <= 1'000'000; ++i) listing += std::to_string(i) + " PRINT\n";
    writeAll(folder / "listing.bas", listing);
    RunSettings settings;
#if defined(__SANITIZE_ADDRESS__)
    const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
    settings.environment = {std::string("LD_PRELOAD=") + LINTREL_FAILING_NEW,
                            // The sanitizers' runtime may not come first: the preload stands in front of it.
                            std::string("ASAN_OPTIONS=") + (sanitizerOptions ? sanitizerOptions : "") +
                                ":verify_asan_link_order=0"};
#else
    settings.addressSpaceKilobytes = 64 * 1024;  // lintrelc starts in a fraction of it
#endif
    struct Row {
        std::vector<std::string> arguments;
        std::string message;
    };
    const fs::path large = sparseFile("large.lpj", 200u * 1024 * 1024);
    const fs::path image = sparseFile("large.cas", 200u * 1024 * 1024);
    const fs::path lines = folder / "lines.lpj";
    const fs::path numbered = folder / "listing.bas";
    const Row rows[] = {
        {{"--exports", exports.string(), large.string()}, "building " + large.string()},
        {{"--exports", exports.string(), lines.string()}, "building " + lines.string()},
        {{"list", image.string()}, "listing " + image.string()},
        {{"import", "--platform", "HT", numbered.string(), "-o", (exports / "x.lpj").string()},
         "importing " + numbered.string()},
    };
    for (const Row& row : rows) {
        const ProgramRun result = runProgram(lintrelcBinary(), row.arguments, folder, settings);
        EXPECT_EQ(result.exitCode, 1) << row.message;
        EXPECT_EQ(result.err, "lintrelc: out of memory while " + row.message + "\n");
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(exportsEmpty());
    }
}

// Paths are shown as any other text bound for the terminal.
TEST_F(InputAndOutput, ControlCharactersInAPathAreEscaped) {
    const fs::path missing = folder / "title\x1b]0;x\x07.lpj";
    const ProgramRun result = run({missing.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lintrelc: cannot read \"" + folder.string() + "/title\\x1b]0;x\\x07.lpj\": No such file or directory\n");
}

TEST_F(InputAndOutput, ReadsTheProjectFromStandardInput) {
    RunSettings settings;
    settings.input = kPrimoPrint;
    const ProgramRun result = run({"-"}, settings);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, (exports / "Compiled_PRIMO.pri").string() + "\n" + kPrimoSizes);
    EXPECT_EQ(readAll(exports / "Compiled_PRIMO.pri"), kPrimo15);

    settings.input = "&C=10\r\n&P=HL4 |target\r\n";
    const ProgramRun bad = run({"-"}, settings);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "<stdin>:2:4: error: \"HL4\" is not a valid platform!\n&P=HL4 |target\n   ^~~\n");
}

TEST_F(InputAndOutput, OptionOWritesTheNamedFileInsteadOfTheExportsFolder) {
    const fs::path image = folder / "game.pri";
    writeAll(image, "an older image");
    for (const std::vector<std::string>& option : {std::vector<std::string>{"-o", image.string()},
                                                   {"--output=" + image.string()}}) {
        std::vector<std::string> arguments = option;
        arguments.push_back(primo.string());
        const ProgramRun result = runProgram(lintrelcBinary(), arguments, folder);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, image.string() + "\n" + kPrimoSizes);
        EXPECT_EQ(readAll(image), kPrimo15);
    }
    EXPECT_TRUE(exportsEmpty());
}

// The image alone on standard output, so that it can go down a pipe; the
// size lines go to standard error.
TEST_F(InputAndOutput, OptionOMinusWritesTheImageToStandardOutput) {
    const ProgramRun fromFile = run({"-o", "-", primo.string()});
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, kPrimo15);
    EXPECT_EQ(fromFile.err, kPrimoSizes);

    RunSettings settings;
    settings.input = "&P=BASIC\r\n&C=10\r\nprint 1\r\n";
    const ProgramRun throughPipe = run({"-o", "-", "-"}, settings);
    EXPECT_EQ(throughPipe.exitCode, 0) << throughPipe.err;
    EXPECT_EQ(throughPipe.out, "10 PRINT 1\r\n");
    EXPECT_EQ(throughPipe.err, "");
    EXPECT_TRUE(exportsEmpty());
}

TEST_F(InputAndOutput, BadInputOrOutputIsAClearErrorAndWritesNothing) {
    fs::create_directory(folder / "images");
    struct Row {
        std::vector<std::string> arguments;
        std::optional<std::string> input;
        bool outputClosed;
        std::string error;
        std::optional<fs::path> outputTo = {};
    };
    const Row rows[] = {
        {{"-o", (folder / "missing" / "x.pri").string(), primo.string()}, {}, false,
         "lintrelc: the folder \"" + (folder / "missing").string() + "\" does not exist\n"},
        {{"-o", (folder / "images").string(), primo.string()}, {}, false,
         "lintrelc: \"" + (folder / "images").string() + "\" is a folder\n"},
        {{"-o", (folder / "images").string() + "/", primo.string()}, {}, false,
         "lintrelc: \"" + (folder / "images").string() + "/\" is a folder\n"},
        {{"-"}, "", false, "lintrelc: standard input is empty\n"},
        {{"-o", "-", primo.string()}, {}, true, "lintrelc: standard output is closed\n"},
        {{primo.string()}, {}, true, "lintrelc: standard output is closed\n"},
        {{"-o", "-", primo.string()}, {}, false, "lintrelc: Cannot write to standard output: No space left on device\n",
         "/dev/full"},
    };
    for (const Row& row : rows) {
        RunSettings settings;
        settings.input = row.input;
        settings.outputClosed = row.outputClosed;
        settings.outputTo = row.outputTo;
        const ProgramRun result = run(row.arguments, settings);
        EXPECT_EQ(result.exitCode, 1) << ::testing::PrintToString(row.arguments);
        EXPECT_EQ(result.err, row.error);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(fs::exists(folder / "missing"));
    EXPECT_TRUE(fs::is_empty(folder / "images"));
    EXPECT_TRUE(exportsEmpty());
}

}  // namespace
}  // namespace lintrel
