// writeFileReplacing: the new file beside the old one until it is whole and
// on disk, then renamed over it.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <mutex>
#include <set>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <cstring>
#include <random>
#include <string_view>

#include "system/file_system.h"

namespace lintrel {

int FileCalls::createUnnamed(const std::filesystem::path& folder, mode_t mode) {
    // The name comes through /proc later; without it the file could never have one.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}
int FileCalls::createNew(const std::filesystem::path& path, mode_t mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}
ssize_t FileCalls::write(int fd, const void* bytes, std::size_t size) { return ::write(fd, bytes, size); }
int FileCalls::sync(int fd) { return ::fsync(fd); }
int FileCalls::name(int fd, const std::filesystem::path& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
}
int FileCalls::close(int fd) { return ::close(fd); }
int FileCalls::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str());
}
int FileCalls::remove(const std::filesystem::path& path) { return ::unlink(path.c_str()); }
int FileCalls::syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    const int result = ::fsync(fd);
    ::close(fd);
    return result;
}

FileCalls& systemFileCalls() {
    static FileCalls calls;  // stateless
    return calls;
}

namespace {

constexpr mode_t kNewFileMode = 0666;  // the umask applied
constexpr std::string_view kNameMark = ".lintrel-";  // then 16 hexadecimal digits
constexpr std::size_t kNameDigits = 16;
constexpr std::string_view kNameEnd = ".tmp";
constexpr std::time_t kLeftoverAge = 60 * 60;  // far longer than any build

std::string failure(const std::filesystem::path& path, int error) {
    return "Cannot write \"" + path.string() + "\": " + std::strerror(error);
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : ".";
}

// ".Compiled_HL2.htp.lintrel-0123456789abcdef.tmp": hidden, beside the
// target, and in a form that tells it from the user's own files.
std::filesystem::path temporaryName(const std::filesystem::path& target, std::random_device& random) {
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string name = ".";  // built by appends: GCC 12 warns wrongly on "." + string
    name += target.filename().string();
    name += kNameMark;
    for (std::size_t i = 0; i < kNameDigits; i += 8) {
        for (unsigned bits = random(), digit = 0; digit < 8; ++digit, bits >>= 4) name += kHex[bits & 0xF];
    }
    name += kNameEnd;
    return folderOf(target) / name;
}

bool isTemporaryName(std::string_view name) {
    constexpr std::size_t kTail = kNameMark.size() + kNameDigits + kNameEnd.size();
    if (name.size() < 2 + kTail || name.front() != '.' || !name.ends_with(kNameEnd)) return false;
    const std::string_view tail = name.substr(name.size() - kTail);
    const std::string_view digits = tail.substr(kNameMark.size(), kNameDigits);
    return tail.starts_with(kNameMark) &&
           digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A replacement that died before its rename where the file system has no
// unnamed files (SIGKILL, a crash, a power cut) leaves its new file. Those of
// this user over an hour old go; a younger one may belong to a build running now.
// Each folder is read once per process: a long-running window writes the
// same folder many times.
void removeLeftovers(const std::filesystem::path& folder, FileCalls& calls) {
    static std::mutex guard;
    static std::set<std::filesystem::path> read;
    {
        const std::lock_guard<std::mutex> lock(guard);
        if (!read.insert(folder).second) return;
    }
    std::error_code error;
    const std::time_t now = std::time(nullptr);
    for (auto entry = std::filesystem::directory_iterator(folder, error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::filesystem::path& path = entry->path();
        if (!isTemporaryName(path.filename().string())) continue;
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) continue;
        if (now - status.st_mtime > kLeftoverAge) calls.remove(path);
    }
}

// The signals that end a program unless it handles them.
constexpr std::array<int, 3> kEndingSignals = {SIGHUP, SIGINT, SIGTERM};

// The named new file that such a signal removes before the program ends. The
// programs replace one file at a time; the handler reads this and nothing else.
std::atomic<const char*> pendingRemoval{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "read by a signal handler");

extern "C" void removeThenEnd(int signal) {
    if (const char* name = pendingRemoval.load()) ::unlink(name);
    ::raise(signal);  // the action is the default again (SA_RESETHAND): the program ends as it would have
}

// While it lives, a signal that would end the program removes the new file
// first. A signal the program handles or ignores itself is left to it.
class RemovalOnSignals {
public:
    RemovalOnSignals() {
        struct sigaction ours {};
        ours.sa_handler = removeThenEnd;
        ours.sa_flags = SA_RESETHAND;
        ::sigemptyset(&ours.sa_mask);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            struct sigaction current {};
            if (::sigaction(kEndingSignals[i], nullptr, &current) != 0) continue;
            if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
            installed_[i] = ::sigaction(kEndingSignals[i], &ours, nullptr) == 0;
        }
    }
    RemovalOnSignals(const RemovalOnSignals&) = delete;
    RemovalOnSignals& operator=(const RemovalOnSignals&) = delete;
    ~RemovalOnSignals() {
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            if (installed_[i]) ::sigaction(kEndingSignals[i], &standard, nullptr);
        }
    }

private:
    std::array<bool, kEndingSignals.size()> installed_{};
};

// Holds those signals back while the new file's name comes or goes, so that
// the handler never sees a file without its name or a name without its file.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        ::sigemptyset(&held);
        for (const int signal : kEndingSignals) ::sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_{};
};

// The new file until it takes the target's place; on every other way out it
// is closed and removed.
class Temporary {
public:
    explicit Temporary(FileCalls& calls) : calls_(calls) {}
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (fd_ >= 0) calls_.close(fd_);
        const SignalsHeld held;
        if (!name_.empty()) calls_.remove(name_);
        pendingRemoval = nullptr;
    }

    // Without a name where the file system allows, else by a name beside `target`.
    bool create(const std::filesystem::path& target) {
        fd_ = calls_.createUnnamed(folderOf(target), kNewFileMode);
        if (fd_ >= 0) return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
        // Only named new files can be left behind.
        removeLeftovers(folderOf(target), calls_);
        return takeName(target, [this](const std::filesystem::path& name) {
            fd_ = calls_.createNew(name, kNewFileMode);
            return fd_ >= 0;
        });
    }

    // The unnamed file gets its name once it is whole and on disk.
    bool giveName(const std::filesystem::path& target) {
        if (!name_.empty()) return true;
        return takeName(target, [this](const std::filesystem::path& name) { return calls_.name(fd_, name) == 0; });
    }

    bool writeAll(const std::vector<unsigned char>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = calls_.write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool sync() { return calls_.sync(fd_) == 0; }

    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return calls_.close(fd) == 0;
    }

    bool replace(const std::filesystem::path& target) {
        const SignalsHeld held;
        if (calls_.rename(name_, target) != 0) return false;
        name_.clear();
        pendingRemoval = nullptr;
        return true;
    }

    int fd() const { return fd_; }

private:
    // Tries fresh names until `make` succeeds or fails for another reason
    // than the name being taken.
    template <typename Make>
    bool takeName(const std::filesystem::path& target, Make make) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate = temporaryName(target, random);
            const SignalsHeld held;
            if (make(candidate)) {
                name_ = candidate;
                pendingRemoval = name_.c_str();
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    FileCalls& calls_;
    int fd_ = -1;
    std::filesystem::path name_;  // empty once renamed
};

// Into a device, a FIFO or a socket the bytes are written as into a stream.
// A FIFO that nobody reads is an error, not a wait without end.
std::optional<std::string> writeInto(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                                     FileCalls& calls) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failure(path, errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            calls.close(fd);
            return failure(path, error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (calls.close(fd) != 0) return failure(path, errno);
    return std::nullopt;
}

}  // namespace

bool namesStandardOutput(const std::filesystem::path& path) {
    return path == "/dev/stdout" || path == "/dev/fd/1" || path == "/proc/self/fd/1";
}

std::optional<std::string> writeFileReplacing(const std::filesystem::path& path,
                                              const std::vector<unsigned char>& bytes, FileCalls& calls,
                                              Sync sync) {
    if (path.empty() || !path.has_filename()) return failure(path, EISDIR);
    // A device, a FIFO or a socket, or a link to one, is written into, as a
    // compiler's "-o /dev/null" does: replacing it would take it away (as
    // root, the system's own /dev/null).
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode))
        return writeInto(path, bytes, calls);
    const RemovalOnSignals removal;
    Temporary temporary(calls);
    if (!temporary.create(path)) return failure(path, errno);

    // A regular file that is replaced keeps its access bits; a link's target
    // lends none (it may be world-writable or setuid), nor does a setuid,
    // setgid or sticky bit pass on. Otherwise the umask decides.
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(temporary.fd(), old.st_mode & 0777);

    // Whole (and, where asked, on disk) before the name moves, so a crash
    // leaves the old file or the new one.
    const bool syncs = sync == Sync::FileAndFolder;
    if (!temporary.writeAll(bytes) || (syncs && !temporary.sync()) || !temporary.giveName(path) ||
        !temporary.close() || !temporary.replace(path))
        return failure(path, errno);
    // Makes the new name itself durable; a failure here loses nothing.
    if (syncs) calls.syncFolder(folderOf(path));
    return std::nullopt;
}

}  // namespace lintrel
