// lintrelc's "list" and "import": an image's numbered listing, and an image
// or a numbered listing turned into a project.
#pragma once

#include <string_view>

namespace lintrel::app {

// `argv[0]` is the command word, the options and the file follow; returns
// the exit code: 0 done, 1 a file or import error, 2 bad usage.
int runList(int argc, char** argv);
int runImport(int argc, char** argv);

inline constexpr std::string_view kListUsage = "usage: lintrelc list [--platform ID] [--cp1250] IMAGE";
inline constexpr std::string_view kImportUsage =
    "usage: lintrelc import [--platform ID] [--renumber START,STEP] [--lenient] [-o PROJECT] FILE";

}  // namespace lintrel::app
