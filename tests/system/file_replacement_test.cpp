// The order of the system calls that makes a replacement safe, and a fault at
// each step, through a recorder put in front of the real calls.
#include <fcntl.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "system/file_system.h"
#include "system/temporary_folder.h"

namespace lintrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// Records each call by name (a run of writes as one), runs `before` ahead
// of each, and makes the call named `failing` fail with EIO instead of
// running it.
class RecordingCalls : public FileCalls {
public:
    std::vector<std::string> calls;
    std::string failing;
    std::function<void(const std::string& call)> before;
    bool offersUnnamed = true;  // false: as on a file system without unnamed files

    int createUnnamed(const fs::path& folder, mode_t mode) override {
        if (fails("createUnnamed")) return -1;
        if (offersUnnamed) return FileCalls::createUnnamed(folder, mode);
        errno = EOPNOTSUPP;
        return -1;
    }
    int createNew(const fs::path& path, mode_t mode) override {
        return fails("createNew") ? -1 : FileCalls::createNew(path, mode);
    }
    ssize_t write(int fd, const void* bytes, std::size_t size) override {
        return fails("write") ? -1 : FileCalls::write(fd, bytes, size);
    }
    int sync(int fd) override { return fails("sync") ? -1 : FileCalls::sync(fd); }
    int name(int fd, const fs::path& path) override { return fails("name") ? -1 : FileCalls::name(fd, path); }
    int close(int fd) override {
        const bool failed = fails("close");
        FileCalls::close(fd);  // a close that fails still frees the descriptor
        return failed ? -1 : 0;
    }
    int rename(const fs::path& from, const fs::path& to) override {
        return fails("rename") ? -1 : FileCalls::rename(from, to);
    }
    int remove(const fs::path& path) override { return fails("remove") ? -1 : FileCalls::remove(path); }
    int syncFolder(const fs::path& folder) override {
        return fails("syncFolder") ? -1 : FileCalls::syncFolder(folder);
    }

private:
    bool fails(const std::string& call) {
        if (before) before(call);
        if (calls.empty() || calls.back() != call || call != "write") calls.push_back(call);
        if (call != failing) return false;
        errno = EIO;
        return true;
    }
};

using FileReplacement = TemporaryFolder;

const Bytes kNew(100000, 'n');

// Both ways: a file named only once it is whole where the file system has
// unnamed files, a named one elsewhere.
const bool kBothWays[] = {true, false};

// An output file, made again from its project at any time, is replaced whole
// but not synced.
TEST_F(FileReplacement, DataIsWrittenThenSyncedThenRenamedThenTheFolderSynced) {
    const fs::path target = folder / "Compiled_TVC.cas";
    struct Row {
        bool unnamed;
        Sync sync;
        std::vector<std::string> calls;
    };
    const Row rows[] = {
        {true, Sync::FileAndFolder, {"createUnnamed", "write", "sync", "name", "close", "rename", "syncFolder"}},
        {false, Sync::FileAndFolder, {"createUnnamed", "createNew", "write", "sync", "close", "rename", "syncFolder"}},
        {true, Sync::None, {"createUnnamed", "write", "name", "close", "rename"}},
        {false, Sync::None, {"createUnnamed", "createNew", "write", "close", "rename"}},
    };
    for (const Row& row : rows) {
        put(target, "old");
        RecordingCalls calls;
        calls.offersUnnamed = row.unnamed;
        ASSERT_FALSE(writeFileReplacing(target, kNew, calls, row.sync));
        EXPECT_EQ(calls.calls, row.calls);
        EXPECT_EQ(contents(target), std::string(kNew.begin(), kNew.end()));
        EXPECT_EQ(entries(), 1u);
    }
}

// Up to the rename a fault leaves the old file whole and nothing beside it;
// after it, the new file is already whole.
TEST_F(FileReplacement, AFaultAtEachStepLeavesAWholeFileAndNothingElse) {
    struct Row {
        bool unnamed;
        std::string failing;
        bool reported;  // as an error naming the path
    };
    const Row rows[] = {
        {true, "createUnnamed", true}, {true, "write", true},  {true, "sync", true},
        {true, "name", true},          {true, "close", true},  {true, "rename", true},
        {true, "syncFolder", false},   {false, "createNew", true}, {false, "write", true},
        {false, "sync", true},         {false, "close", true}, {false, "rename", true},
        {false, "syncFolder", false},
    };
    const std::string kOld = "the old image", kWritten(kNew.begin(), kNew.end());
    const fs::path target = folder / "Compiled_HL2.htp";
    for (const Row& row : rows) {
        put(target, kOld);
        RecordingCalls calls;
        calls.offersUnnamed = row.unnamed;
        calls.failing = row.failing;
        const auto error = writeFileReplacing(target, kNew, calls);
        const std::string where = row.failing + (row.unnamed ? " (unnamed)" : " (named)");
        EXPECT_EQ(error.has_value(), row.reported) << where;
        if (error) {
            EXPECT_EQ(*error, "Cannot write \"" + target.string() + "\": Input/output error") << where;
        }
        EXPECT_EQ(contents(target), row.reported ? kOld : kWritten) << where;
        EXPECT_EQ(entries(), 1u) << where;
    }
}

// Ctrl+C, a closed terminal or a kill in the middle of writing a large image
// ends the program as the signal would, with nothing left beside the old file.
TEST_F(FileReplacement, ASignalThatEndsTheProgramLeavesNothingBehind) {
    const fs::path target = folder / "Compiled_HT.cas";
    for (const bool unnamed : kBothWays) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            for (const std::string at : {"write", "close"}) {  // before and after the file has its name
                put(target, "old");
                EXPECT_EXIT(
                    {
                        RecordingCalls calls;
                        calls.offersUnnamed = unnamed;
                        calls.before = [&](const std::string& call) {
                            if (call == at) ::raise(signal);
                        };
                        writeFileReplacing(target, kNew, calls);
                    },
                    ::testing::KilledBySignal(signal), "");
                const std::string where = std::to_string(signal) + " at " + at + (unnamed ? " (unnamed)" : " (named)");
                EXPECT_EQ(contents(target), "old") << where;
                EXPECT_EQ(entries(), 1u) << where;
            }
        }
    }
}

// SIGKILL cannot be caught: where the file system allows, the new file has
// no name until it is whole, so nothing is left.
TEST_F(FileReplacement, SigkillWhileWritingLeavesNothingWhereTheFileSystemAllows) {
    const fs::path target = folder / "Compiled_PRIMO.pri";
    put(target, "old");
    EXPECT_EXIT(
        {
            RecordingCalls calls;
            calls.before = [](const std::string& call) {
                if (call == "write") ::raise(SIGKILL);
            };
            writeFileReplacing(target, kNew, calls);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(contents(target), "old");
    EXPECT_EQ(entries(), 1u);
}

// Elsewhere a killed build leaves its new file; the next build into the
// folder that needs a named file removes such files once they are an hour
// old, and nothing else.
TEST_F(FileReplacement, LeftoversOfThisProgramOlderThanAnHourGoAtTheNextBuild) {
    struct Row {
        std::string name;
        std::chrono::minutes age;
        bool removed;
    };
    const Row rows[] = {
        {".Compiled_HL2.htp.lintrel-0123456789abcdef.tmp", std::chrono::minutes(61), true},
        {".Options.ini.lintrel-fedcba9876543210.tmp", std::chrono::minutes(600), true},
        {".Compiled_HL2.htp.lintrel-0123456789abcdef.tmp.x", std::chrono::minutes(600), false},
        {".Compiled_HT.cas.lintrel-0123456789abcdef.tmp", std::chrono::minutes(59), false},
        {".Compiled_HT.cas.lintrel-0123456789abcdeg.tmp", std::chrono::minutes(600), false},
        {".Compiled_HT.cas.lintrel-0123456789abcde.tmp", std::chrono::minutes(600), false},
        {".lintrel-0123456789abcdef.tmp", std::chrono::minutes(600), false},
        {".notes.1234.tmp", std::chrono::minutes(600), false},
        {"Compiled_TVC.cas", std::chrono::minutes(600), false},
    };
    for (const Row& row : rows) {
        put(folder / row.name, "left");
        fs::last_write_time(folder / row.name, fs::file_time_type::clock::now() - row.age);
    }
    // Only where new files need a name, and once per folder in a process:
    // each build runs as a process of its own.
    const auto buildInOwnProcess = [this](const char* name) {
        EXPECT_EXIT(
            {
                RecordingCalls named;
                named.offersUnnamed = false;
                std::exit(writeFileReplacing(folder / name, kNew, named) ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "");
    };
    if (const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600); fd >= 0) {
        ::close(fd);
        ASSERT_FALSE(writeFileReplacing(folder / "Compiled_HL2.htp", kNew));  // unnamed: nothing is read
        for (const Row& row : rows) EXPECT_TRUE(fs::exists(folder / row.name)) << row.name;
    }
    buildInOwnProcess("Compiled_HL3.htp");
    for (const Row& row : rows) EXPECT_EQ(fs::exists(folder / row.name), !row.removed) << row.name;

    // What a killed build leaves is of that kind.
    fs::remove(folder / "Compiled_HL3.htp");
    EXPECT_EXIT(
        {
            RecordingCalls calls;
            calls.offersUnnamed = false;
            calls.before = [](const std::string& call) {
                if (call == "write") ::raise(SIGKILL);
            };
            writeFileReplacing(folder / "Compiled_HL3.htp", kNew, calls);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    const auto leftovers = [this] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with(".Compiled_HL3.htp.")) found.push_back(entry.path());
        }
        return found;
    };
    ASSERT_EQ(leftovers().size(), 1u);
    fs::last_write_time(leftovers()[0], fs::file_time_type::clock::now() - std::chrono::minutes(61));
    buildInOwnProcess("Compiled_ABC80.bas");
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(folder / "Compiled_HL3.htp"));
}

}  // namespace
}  // namespace lintrel
