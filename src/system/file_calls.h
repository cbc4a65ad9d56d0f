// The system calls that replacing a file makes, one method each, so that a
// test can record their order and make any one of them fail. Each returns
// what the call returns: -1 with errno set when it fails.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>

namespace lintrel {

class FileCalls {
public:
    virtual ~FileCalls() = default;

    // A file without a name in `folder` (O_TMPFILE), of which nothing is left
    // if the program dies; fails with EOPNOTSUPP, EISDIR or EINVAL where the
    // file system or the kernel has none.
    virtual int createUnnamed(const std::filesystem::path& folder, mode_t mode);
    // A new file by name, never one that exists already.
    virtual int createNew(const std::filesystem::path& path, mode_t mode);
    virtual ssize_t write(int fd, const void* bytes, std::size_t size);
    virtual int sync(int fd);
    // Gives the unnamed file `fd` the name `path`, which must not exist yet.
    virtual int name(int fd, const std::filesystem::path& path);
    virtual int close(int fd);
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to);
    virtual int remove(const std::filesystem::path& path);
    virtual int syncFolder(const std::filesystem::path& folder);
};

// The calls as the operating system makes them.
FileCalls& systemFileCalls();

}  // namespace lintrel
