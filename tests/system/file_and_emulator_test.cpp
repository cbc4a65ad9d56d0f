#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "system/file_system.h"
#include "system/options_file.h"
#include "system/temporary_folder.h"
#include "system/start_emulator.h"

namespace lintrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

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

// A link to a file elsewhere is replaced by the new file, but that file's
// mode is no model: a world-writable or setuid target must not pass its bits
// on. Only a regular file at the path itself lends its 0777 bits.
TEST_F(WriteFileReplacing, PermissionsComeOnlyFromARegularFileAndOnlyItsAccessBits) {
    enum class Kind { File, LinkToFile, DanglingLink };
    struct Row {
        Kind kind;
        mode_t mode;      // of the file or of the link's target
        mode_t expected;  // of the new file, under umask 022
    };
    const Row rows[] = {
        {Kind::File, 0640, 0640},       {Kind::File, 04755, 0755},       {Kind::File, 02750, 0750},
        {Kind::File, 01604, 0604},      {Kind::LinkToFile, 0666, 0644},  {Kind::LinkToFile, 04755, 0644},
        {Kind::LinkToFile, 0600, 0644}, {Kind::DanglingLink, 0, 0644},
    };
    const mode_t previousMask = ::umask(022);
    for (const Row& row : rows) {
        const fs::path target = folder / "Compiled_HL2.htp", elsewhere = folder / "elsewhere";
        fs::remove(target);
        fs::remove(elsewhere);
        if (row.kind == Kind::File || row.kind == Kind::LinkToFile) {
            const fs::path file = row.kind == Kind::File ? target : elsewhere;
            put(file, "old");
            ASSERT_EQ(::chmod(file.c_str(), row.mode), 0);
        }
        if (row.kind == Kind::LinkToFile || row.kind == Kind::DanglingLink) fs::create_symlink(elsewhere, target);

        ASSERT_FALSE(writeFileReplacing(target, Bytes{'n', 'e', 'w'}));
        struct stat status {};
        ASSERT_EQ(::lstat(target.c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        EXPECT_EQ(status.st_mode & 07777, row.expected) << static_cast<int>(row.kind) << " " << std::oct << row.mode;
        EXPECT_EQ(contents(target), "new");
        if (row.kind == Kind::LinkToFile) {
            EXPECT_EQ(contents(elsewhere), "old");  // the target is left alone
        }
    }
    ::umask(previousMask);
}

// A FIFO, or a link to a device, is written into and stays what it is (as
// root, replacing /dev/null would take the system's away); a FIFO that
// nobody reads is an error at once.
TEST_F(WriteFileReplacing, DevicesFifosAndLinksToThemAreWrittenInto) {
    const fs::path fifo = folder / "fifo", link = folder / "null";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto unread = writeFileReplacing(fifo, Bytes{'n'});
    ASSERT_TRUE(unread);
    EXPECT_NE(unread->find("No such device or address"), std::string::npos) << *unread;
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(writeFileReplacing(fifo, Bytes{'n', 'e', 'w'}));
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    EXPECT_EQ(std::string(got, 3), "new");
    ::close(reader);
    struct stat status {};
    ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    fs::create_symlink("/dev/null", link);
    EXPECT_FALSE(writeFileReplacing(link, Bytes{'x'}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(namesStandardOutput("/dev/stdout"));
    EXPECT_FALSE(namesStandardOutput("stdout"));
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

using ProjectReading = TemporaryFolder;

// The limit holds for a file (whose size the message gives) and for a
// stream, which is read no further than one byte past it.
TEST_F(ProjectReading, FilesAndStreamsUpToTheLimitAreReadAndNoMore) {
    constexpr std::int64_t kLimit = 1024 * 1024;
    std::string bytes;
    put(folder / "full.lpj", std::string(kLimit, 'A'));
    EXPECT_FALSE(readFileBytes(folder / "full.lpj", bytes, kLimit));
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(kLimit));
    put(folder / "over.lpj", std::string(kLimit + 1, 'A'));
    EXPECT_EQ(readFileBytes(folder / "over.lpj", bytes, kLimit),
              "the project is 1.0 MB (1048577 bytes); projects over 1 MB are not read");

    // The writer below learns that the reader stopped as EPIPE, not as a signal.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    for (const std::int64_t size : {kLimit, kLimit + 1, 3 * kLimit}) {
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        std::thread writer([&] {
            const std::string sent(static_cast<std::size_t>(size), 'B');
            for (std::size_t done = 0; done < sent.size();) {
                const ssize_t n = ::write(ends[1], sent.data() + done, sent.size() - done);
                if (n <= 0) break;  // the reader stopped
                done += static_cast<std::size_t>(n);
            }
            ::close(ends[1]);
        });
        const auto reason = readStreamBytes(ends[0], bytes, kLimit);
        ::close(ends[0]);
        writer.join();
        if (size <= kLimit) {
            EXPECT_FALSE(reason) << *reason;
            EXPECT_EQ(bytes.size(), static_cast<std::size_t>(size));
        } else {
            EXPECT_EQ(reason, "the project is over 1 MB (more than 1048576 bytes); projects over 1 MB are not read");
            EXPECT_LE(bytes.size(), static_cast<std::size_t>(kLimit + 1));
        }
    }
    std::signal(SIGPIPE, previous);
}

// A FIFO without a writer would hold the program at start-up for good.
TEST_F(ProjectReading, SettingsInAFifoReadAsNone) {
    const fs::path fifo = folder / "Options.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(IniFile::load(fifo).text(), "");
    EXPECT_FALSE(IniFile::loadForUpdate(fifo));
}

TEST(StreamWriting, AFullDeviceIsAnError) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    const std::vector<unsigned char> image(100, 0x41);
    EXPECT_EQ(writeStreamBytes(full, image), "No space left on device");
    ::close(full);
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
