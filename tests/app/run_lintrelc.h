// Runs lintrelc as a user would and collects what it said.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace lintrel::testing {

namespace fs = std::filesystem;

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline fs::path lintrelcBinary() { return LINTRELC_BINARY; }

// How a run differs from the plain one: what standard input holds, whether
// standard output is closed or goes elsewhere, what is added to the environment, and how long
// the program may take before it counts as hung and is killed.
struct RunSettings {
    std::optional<std::string> input;      // else /dev/null
    bool outputClosed = false;
    std::optional<fs::path> outputTo;      // standard output into this file (a device, say) instead
    std::vector<std::string> environment;  // "NAME=value", replacing ours of that name
    std::optional<long> addressSpaceKilobytes;  // a limit (ulimit -v) on the program's memory
    std::chrono::seconds timeout{120};
};

// Ours with the settings' entries in place of any of the same name.
inline std::vector<std::string> environmentWith(const std::vector<std::string>& added) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const bool replaced = std::any_of(added.begin(), added.end(), [&](const std::string& mine) {
            return text.substr(0, text.find('=') + 1) == mine.substr(0, mine.find('=') + 1);
        });
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), added.begin(), added.end());
    return entries;
}

// Waits for `pid`; one that outlives `timeout` is killed and counts as 128 + 9.
inline int waitFor(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `binary` with `arguments`; stdin, stdout and stderr go through files in `scratch`.
inline ProgramRun runProgram(const fs::path& binary, const std::vector<std::string>& arguments, const fs::path& scratch,
                             const RunSettings& settings = {}) {
    const fs::path in = scratch / "stdin.txt", out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    if (settings.input) writeAll(in, *settings.input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, settings.input ? in.c_str() : "/dev/null", O_RDONLY, 0);
    if (settings.outputClosed) {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else {
        const fs::path& to = settings.outputTo ? *settings.outputTo : out;
        posix_spawn_file_actions_addopen(&actions, 1, to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words = {binary.string()};
    if (settings.addressSpaceKilobytes) {
        words = {"/bin/sh", "-c", "ulimit -v " + std::to_string(*settings.addressSpaceKilobytes) + " && exec \"$0\" \"$@\"",
                 binary.string()};
    }
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = environmentWith(settings.environment);
    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (auto& text : texts) list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argv = pointers(words), envp = pointers(environment);
    pid_t pid = 0;
    ProgramRun run;
    if (posix_spawn(&pid, words[0].c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        run.exitCode = waitFor(pid, settings.timeout);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readAll(out);
    run.err = readAll(err);
    fs::remove(in);
    fs::remove(out);
    fs::remove(err);
    return run;
}

// A fresh folder under /tmp, removed with the fixture.
inline fs::path makeTemporaryFolder() {
    std::string name = (fs::temp_directory_path() / "lintrelc-test-XXXXXX").string();
    return ::mkdtemp(name.data()) ? fs::path(name) : fs::path();
}

// The PRIMO project most runs build, and the image it makes.
constexpr const char* kPrimoPrint = "&P=PRIMO\r\n&C=10\r\nPRINT 1\r\n";
const std::string kPrimo15 = std::string("\xD1\x00\x00\x09\x00\xF1\x43\x0A\x00\xB2\x31\x00\x00\x00\xC9", 15);

// A scratch folder with an empty Exports folder in it, gone after the test.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTemporaryFolder();
        ASSERT_FALSE(folder.empty());
        exports = folder / "Exports";
        fs::create_directory(exports);
    }
    void TearDown() override { fs::remove_all(folder); }
    bool exportsEmpty() const { return fs::is_empty(exports); }

    fs::path folder;
    fs::path exports;
};

}  // namespace lintrel::testing
