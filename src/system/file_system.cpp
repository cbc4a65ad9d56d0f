#include "system/file_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace lintrel {

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr const char* kNotRegular = "it is not a regular file";
constexpr std::size_t kReadChunk = 64 * 1024;

std::string systemReason(int error) { return std::strerror(error); }

// "the project is 300.0 MB (314572800 bytes); projects over 256 MB are not read"
std::string tooLarge(std::int64_t size, std::int64_t limit) {
    char text[160];
    std::snprintf(text, sizeof text, "the project is %.1f MB (%lld bytes); projects over %g MB are not read",
                  static_cast<double>(size) / kMegabyte, static_cast<long long>(size),
                  static_cast<double>(limit) / kMegabyte);
    return text;
}

// For a stream, or a file that grew while it was read: its size is not known.
std::string overLimit(std::int64_t limit) {
    char text[120];
    std::snprintf(text, sizeof text, "the project is over %g MB (more than %lld bytes); projects over %g MB are not read",
                  static_cast<double>(limit) / kMegabyte, static_cast<long long>(limit),
                  static_cast<double>(limit) / kMegabyte);
    return text;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_;
};

// Appends what `fd` gives until its end or until `bytes` holds `most`;
// false with errno set on a read error. Grows `bytes` a chunk at a time, so
// a string reserved for a file's size plus one is never copied.
bool readUpTo(int fd, std::string& bytes, std::int64_t most) {
    while (static_cast<std::int64_t>(bytes.size()) < most) {
        const std::size_t at = bytes.size();
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(kReadChunk, most - static_cast<std::int64_t>(at)));
        bytes.resize(at + wanted);
        const ssize_t got = ::read(fd, bytes.data() + at, wanted);
        bytes.resize(at + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got == 0) return true;
        if (got < 0 && errno != EINTR) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes, std::int64_t limit) {
    bytes.clear();
    // Some kinds cannot even be opened (a socket); all of them are turned away.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) return kNotRegular;
    // Not blocking: a FIFO without a writer would hold the open for good.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return systemReason(errno);
    const Descriptor closed(fd);
    if (::fstat(fd, &status) != 0) return systemReason(errno);
    if (S_ISDIR(status.st_mode)) return systemReason(EISDIR);
    if (!S_ISREG(status.st_mode)) return kNotRegular;
    if (status.st_size > limit) return tooLarge(status.st_size, limit);
    // One byte more than the size tells a file that grew meanwhile.
    bytes.reserve(static_cast<std::size_t>(status.st_size) + 1);
    if (!readUpTo(fd, bytes, status.st_size + 1)) return systemReason(errno);
    if (static_cast<std::int64_t>(bytes.size()) > status.st_size && !readUpTo(fd, bytes, limit + 1))
        return systemReason(errno);
    if (static_cast<std::int64_t>(bytes.size()) > limit) return overLimit(limit);
    return std::nullopt;
}

std::optional<std::string> readStreamBytes(int fd, std::string& bytes, std::int64_t limit) {
    bytes.clear();
    struct stat status {};
    if (::fstat(fd, &status) != 0) return systemReason(errno);
    if (S_ISREG(status.st_mode) && status.st_size > limit) return tooLarge(status.st_size, limit);
    if (!readUpTo(fd, bytes, limit + 1)) return systemReason(errno);
    if (static_cast<std::int64_t>(bytes.size()) > limit) return overLimit(limit);
    return std::nullopt;
}

std::optional<std::string> writeStreamBytes(int fd, std::span<const unsigned char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd ready{fd, POLLOUT, 0};  // a stream left non-blocking by whoever gave it to us
            ::poll(&ready, 1, -1);
        } else if (errno != EINTR) {
            return systemReason(errno);
        }
    }
    return std::nullopt;
}

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

std::filesystem::path executableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : self.parent_path();
}

}  // namespace lintrel
