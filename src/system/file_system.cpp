#include "system/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

namespace lintrel {

namespace {

std::string failure(const std::filesystem::path& path, int error) {
    return "Cannot write \"" + path.string() + "\": " + std::strerror(error);
}

// A new file beside the target, named so that no other writer picks it.
// Created with the usual permissions, the umask applied.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    std::random_device random;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";  // built by appends: GCC 12 warns wrongly on "." + string
        name += target.filename().string();
        name += '.';
        name += std::to_string(random());
        name += ".tmp";
        temporary = folder / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writing a file so that the old one stays whole until the new one is.
bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads at most `size` bytes, retrying after a signal; -1 with errno on failure.
ssize_t readSome(int fd, char* into, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, into, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// Reads to the end: first straight into the string at the size fstat gave,
// then (a file that grew, or one without a size) in chunks appended.
bool readToEnd(int fd, std::size_t expected, std::string& bytes) {
    bytes.resize(expected);
    std::size_t done = 0;
    while (done < expected) {
        const ssize_t n = readSome(fd, bytes.data() + done, expected - done);
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    if (done < expected) return true;
    char chunk[65536];
    for (;;) {
        const ssize_t n = readSome(fd, chunk, sizeof chunk);
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace

// One open, one fstat and reads straight into the string: no stream buffer
// in between, which costs a large project a second pass over its bytes.
std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!readToEnd(fd, S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0, bytes)) {
        error = errno;
    }
    ::close(fd);
    if (error != 0) return std::strerror(error);
    return std::nullopt;
}

std::optional<std::string> writeFileReplacing(const std::filesystem::path& path,
                                              const std::vector<unsigned char>& bytes) {
    if (path.empty() || !path.has_filename()) return failure(path, EISDIR);
    std::filesystem::path temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0) return failure(path, errno);

    // A file that is replaced keeps its permissions.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);

    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(path, error);
    }
    // Make the new name itself durable; a failure here loses nothing.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

std::filesystem::path executableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : self.parent_path();
}

}  // namespace lintrel
