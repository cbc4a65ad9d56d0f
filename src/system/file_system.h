// The file system as the programs use it: a whole file read, a file
// replaced whole, and the folder that holds the running program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "system/file_calls.h"

namespace lintrel {

// Reads the whole file into `bytes`; nullopt, or the reason it cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::string& bytes);

// Replaces `path` with `bytes` so that a failed write never leaves a
// half-written file in its place: the bytes go into a new file beside it,
// which is synced, then renamed over `path`, then the folder is synced.
// Returns an error text naming the path.
std::optional<std::string> writeFileReplacing(const std::filesystem::path& path,
                                              const std::vector<unsigned char>& bytes,
                                              FileCalls& calls = systemFileCalls());

// The folder of the running executable; the current folder when it cannot be found.
std::filesystem::path executableFolder();

}  // namespace lintrel
