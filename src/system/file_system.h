// The file system as the programs use it: a whole project read within
// limits, a file replaced whole, a stream written, and the folder that holds
// the running program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "system/file_calls.h"

namespace lintrel {

// The largest project the programs read: a larger one would take many times
// its size in memory while it is built.
inline constexpr std::int64_t kLargestProject = 256LL * 1024 * 1024;

// Reads the whole file into `bytes`; nullopt, or the reason it is not read:
// the system's, "it is not a regular file" (a FIFO or a device may block or
// never end), or its size past `limit`. A file that grows while it is read
// stops at `limit` all the same.
std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes,
                                         std::int64_t limit = kLargestProject);

// The same from an open stream such as standard input, read to its end.
std::optional<std::string> readStreamBytes(int fd, std::string& bytes, std::int64_t limit = kLargestProject);

// Writes all of `bytes` to the open stream `fd`; nullopt, or the system's reason.
std::optional<std::string> writeStreamBytes(int fd, std::span<const unsigned char> bytes);

// Whether `fd` is an open descriptor (standard output may have been closed).
bool isOpen(int fd);

// Replaces `path` with `bytes` so that a failed write never leaves a
// half-written file in its place: the bytes go into a new file beside it,
// which is synced, then renamed over `path`, then the folder is synced. A
// device, a FIFO or a socket (or a link to one) is not replaced but written
// into. Returns an error text naming the path.
// How far a replacement goes: a file the user wrote is synced, and its
// folder; an output file, made again from its project at any time, as a
// compiler's or a linker's is, only replaces the old one whole.
enum class Sync { FileAndFolder, None };
std::optional<std::string> writeFileReplacing(const std::filesystem::path& path,
                                              const std::vector<unsigned char>& bytes,
                                              FileCalls& calls = systemFileCalls(),
                                              Sync sync = Sync::FileAndFolder);

// "/dev/stdout" and its other names: an output path that means the
// standard output stream itself.
bool namesStandardOutput(const std::filesystem::path& path);

// The folder of the running executable; the current folder when it cannot be found.
std::filesystem::path executableFolder();

}  // namespace lintrel
