#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "system/file_system.h"
#include "system/start_emulator.h"

namespace lintrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

class TemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/lintrel-system-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})); }

    fs::path folder;
};

using ReadFileBytes = TemporaryFolder;

// Every byte value, the empty file, one larger than a read chunk, and files
// whose reported size is not their length (/proc reports 0).
TEST_F(ReadFileBytes, ReadsEveryByteOfFilesOfAnySize) {
    std::string all;
    for (int v = 0; v < 256; ++v) all += static_cast<char>(v);
    std::string large;
    for (int i = 0; i < 1000; ++i) large += all;
    for (const std::string& text : {std::string(), all, large}) {
        put(folder / "p.lpj", text);
        std::string bytes = "left over";
        ASSERT_FALSE(readFileBytes(folder / "p.lpj", bytes));
        EXPECT_EQ(bytes, text);
    }
    std::string status;
    ASSERT_FALSE(readFileBytes("/proc/self/status", status));
    EXPECT_NE(status.find("Pid:"), std::string::npos);
}

TEST_F(ReadFileBytes, AFolderOrAMissingFileGivesTheReason) {
    std::string bytes;
    EXPECT_EQ(readFileBytes(folder, bytes), std::string(std::strerror(EISDIR)));
    EXPECT_EQ(readFileBytes(folder / "missing.lpj", bytes), std::string(std::strerror(ENOENT)));
}

using WriteFileReplacing = TemporaryFolder;

TEST_F(WriteFileReplacing, CreatesAndReplacesTheWholeFile) {
    const fs::path target = folder / "Compiled_HT.cas";
    ASSERT_FALSE(writeFileReplacing(target, Bytes{'o', 'l', 'd', ' ', 'l', 'o', 'n', 'g'}));
    EXPECT_EQ(contents(target), "old long");
    ASSERT_FALSE(writeFileReplacing(target, Bytes{0x00, 0xFF}));
    EXPECT_EQ(contents(target), std::string("\x00\xFF", 2));
    ASSERT_FALSE(writeFileReplacing(target, Bytes{}));
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(entries(), 1u);  // no temporary file left beside it
}

TEST_F(WriteFileReplacing, KeepsThePermissionsOfTheReplacedFile) {
    const fs::path target = folder / "Options.ini";
    put(target, "x");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_FALSE(writeFileReplacing(target, Bytes{'y'}));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_F(WriteFileReplacing, MissingFolderIsAnErrorNamingThePathAndIsNotCreated) {
    const fs::path target = folder / "Exports" / "Compiled_HL2.htp";
    const auto error = writeFileReplacing(target, Bytes{1});
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(target.string()), std::string::npos) << *error;
    EXPECT_NE(error->find("No such file or directory"), std::string::npos) << *error;
    EXPECT_FALSE(fs::exists(folder / "Exports"));
}

TEST_F(WriteFileReplacing, ParentThatIsAFileIsAnError) {
    put(folder / "Exports", "a file");
    const auto error = writeFileReplacing(folder / "Exports" / "Compiled_TVC.cas", Bytes{1});
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("Compiled_TVC.cas"), std::string::npos) << *error;
    EXPECT_EQ(contents(folder / "Exports"), "a file");
}

TEST_F(WriteFileReplacing, TargetThatIsAFolderStaysAndNoTemporaryRemains) {
    fs::create_directory(folder / "Compiled_HL3.htp");
    put(folder / "Compiled_HL3.htp" / "inside", "kept");
    const auto error = writeFileReplacing(folder / "Compiled_HL3.htp", Bytes{1, 2, 3});
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("Compiled_HL3.htp"), std::string::npos) << *error;
    EXPECT_EQ(contents(folder / "Compiled_HL3.htp" / "inside"), "kept");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(WriteFileReplacing, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    const fs::path target = folder / "Compiled_PRIMO.pri";
    put(target, "the old image");
    // A file-size limit makes the write fail after a few bytes, as a full disk would.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = writeFileReplacing(target, Bytes(1000, 0x41));
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    ASSERT_TRUE(error);
    EXPECT_NE(error->find(target.string()), std::string::npos) << *error;
    EXPECT_EQ(contents(target), "the old image");
    EXPECT_EQ(entries(), 1u);
}

// Polls for a file the started command makes; the command runs on its own.
bool appears(const fs::path& path) {
    for (int i = 0; i < 400; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

using StartEmulator = TemporaryFolder;

TEST_F(StartEmulator, RunsTheCommandDetachedWithoutWaitingForIt) {
    const fs::path go = folder / "go", pid = folder / "pid", done = folder / "done";
    // The command waits for a file that only appears after startEmulator has
    // returned: a start that waited would never come back.
    const std::string command = "echo $$ > '" + pid.string() + ".part' && mv '" + pid.string() + ".part' '" +
                                pid.string() + "'; while [ ! -e '" + go.string() +
                                "' ]; do sleep 0.02; done; touch '" + done.string() + "'";
    startEmulator(command);

    ASSERT_TRUE(appears(pid));
    const std::string shell = std::to_string(std::stoi(contents(pid)));
    // Its own session, and standard streams not tied to ours.
    const pid_t session = ::getsid(std::stoi(shell));
    EXPECT_NE(session, -1);
    EXPECT_NE(session, ::getsid(0));
    for (const char* stream : {"0", "1", "2"}) {
        EXPECT_EQ(fs::read_symlink(fs::path("/proc") / shell / "fd" / stream), "/dev/null") << stream;
    }
    // The middle process is already reaped: nothing of ours is left to wait for.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    put(go, "");
    EXPECT_TRUE(appears(done));
}

TEST_F(StartEmulator, ACommandThatCannotStartIsNotReported) {
    startEmulator("/nonexistent/emulator --run '" + (folder / "x").string() + "'");
    startEmulator("");
    SUCCEED();
}

}  // namespace
}  // namespace lintrel
