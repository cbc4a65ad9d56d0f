#include "system/start_emulator.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace lintrel {

namespace {

// Runs in the grandchild between fork and exec: only calls that are safe
// after forking a threaded program.
[[noreturn]] void runShell(const char* commandLine, const char* workingFolder, int openFileLimit) {
    if (workingFolder[0] != '\0' && ::chdir(workingFolder) != 0) {
        // stays in the current folder
    }
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    // The emulator must not hold our files (an image being replaced, a pipe).
    if (::close_range(STDERR_FILENO + 1, ~0U, 0) != 0) {
        for (int fd = STDERR_FILENO + 1; fd < openFileLimit; ++fd) ::close(fd);
    }
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &defaultAction, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    char shell[] = "/bin/sh";
    char option[] = "-c";
    char* const arguments[] = {shell, option, const_cast<char*>(commandLine), nullptr};
    ::execv(shell, arguments);
    ::_exit(127);
}

}  // namespace

void startEmulator(const std::string& commandLine, const std::string& workingFolder) {
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int openFileLimit = (limit > 0 && limit < 65536) ? static_cast<int>(limit) : 65536;
    const pid_t child = ::fork();
    if (child < 0) return;  // a failure to start is not reported
    if (child == 0) {
        // The middle process leaves at once, so the emulator is adopted by
        // init and never waits as a zombie of ours; setsid detaches it from
        // our terminal and process group.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) runShell(commandLine.c_str(), workingFolder.c_str(), openFileLimit);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace lintrel
