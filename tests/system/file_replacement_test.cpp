// The order of the system calls that makes a replacement safe, and a fault at
// each step, through a recorder put in front of the real calls.
#include <gtest/gtest.h>

#include <cerrno>
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

// Records each call by name (a run of writes as one) and makes the call
// named `failing` fail with EIO instead of running it.
class RecordingCalls : public FileCalls {
public:
    std::vector<std::string> calls;
    std::string failing;
    std::function<void()> beforeWrite;

    int createNew(const fs::path& path, mode_t mode) override {
        return fails("createNew") ? -1 : FileCalls::createNew(path, mode);
    }
    ssize_t write(int fd, const void* bytes, std::size_t size) override {
        if (beforeWrite) beforeWrite();
        return fails("write") ? -1 : FileCalls::write(fd, bytes, size);
    }
    int sync(int fd) override { return fails("sync") ? -1 : FileCalls::sync(fd); }
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
        if (calls.empty() || calls.back() != call || call != "write") calls.push_back(call);
        if (call != failing) return false;
        errno = EIO;
        return true;
    }
};

using FileReplacement = TemporaryFolder;

const Bytes kNew(100000, 'n');

TEST_F(FileReplacement, DataIsWrittenThenSyncedThenRenamedThenTheFolderSynced) {
    const fs::path target = folder / "Compiled_TVC.cas";
    put(target, "old");
    RecordingCalls calls;
    ASSERT_FALSE(writeFileReplacing(target, kNew, calls));
    const std::vector<std::string> expected = {"createNew", "write", "sync", "close", "rename", "syncFolder"};
    EXPECT_EQ(calls.calls, expected);
    EXPECT_EQ(contents(target), std::string(kNew.begin(), kNew.end()));
    EXPECT_EQ(entries(), 1u);
}

// Up to the rename a fault leaves the old file whole and nothing beside it;
// after it, the new file is already whole.
TEST_F(FileReplacement, AFaultAtEachStepLeavesAWholeFileAndNothingElse) {
    struct Row {
        std::string failing;
        bool reported;  // as an error naming the path
        std::string left;
    };
    const std::string kOld = "the old image", kWritten(kNew.begin(), kNew.end());
    const Row rows[] = {
        {"createNew", true, kOld}, {"write", true, kOld},  {"sync", true, kOld},
        {"close", true, kOld},     {"rename", true, kOld}, {"syncFolder", false, kWritten},
    };
    const fs::path target = folder / "Compiled_HL2.htp";
    for (const Row& row : rows) {
        put(target, kOld);
        RecordingCalls calls;
        calls.failing = row.failing;
        const auto error = writeFileReplacing(target, kNew, calls);
        EXPECT_EQ(error.has_value(), row.reported) << row.failing;
        if (error) {
            EXPECT_EQ(*error, "Cannot write \"" + target.string() + "\": Input/output error") << row.failing;
        }
        EXPECT_EQ(contents(target), row.left) << row.failing;
        EXPECT_EQ(entries(), 1u) << row.failing;
    }
}

// Ctrl+C, a closed terminal or a kill in the middle of writing a large image
// ends the program as the signal would, with nothing left beside the old file.
TEST_F(FileReplacement, ASignalThatEndsTheProgramLeavesNothingBehind) {
    const fs::path target = folder / "Compiled_HT.cas";
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        put(target, "old");
        EXPECT_EXIT(
            {
                RecordingCalls calls;
                calls.beforeWrite = [signal] { ::raise(signal); };
                writeFileReplacing(target, kNew, calls);
            },
            ::testing::KilledBySignal(signal), "")
            << signal;
        EXPECT_EQ(contents(target), "old") << signal;
        EXPECT_EQ(entries(), 1u) << signal;
    }
}

}  // namespace
}  // namespace lintrel
