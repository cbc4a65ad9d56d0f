#include "system/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
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

}  // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::strerror(EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::strerror(errno != 0 ? errno : ENOENT);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::strerror(errno != 0 ? errno : EIO);
    return std::nullopt;
}

std::optional<std::string> writeFileReplacing(const std::filesystem::path& path,
                                              const std::vector<unsigned char>& bytes) {
    if (path.empty() || !path.has_filename()) return failure(path, EISDIR);
    std::filesystem::path temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0) return failure(path, errno);

    // A regular file that is replaced keeps its access bits; a link's target
    // lends none (it may be world-writable or setuid), nor does a setuid,
    // setgid or sticky bit pass on. Otherwise the umask decides.
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 0777);

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
