#include "system/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace lintrel {

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::strerror(EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::strerror(errno != 0 ? errno : ENOENT);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::strerror(errno != 0 ? errno : EIO);
    return std::nullopt;
}

std::filesystem::path executableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : self.parent_path();
}

}  // namespace lintrel
