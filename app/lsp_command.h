// lintrelc's "lsp": the language server on standard input and output, also
// started as lintrel-lsp, the name the editors' settings use.
#pragma once

#include <string_view>

namespace lintrel::app {

inline constexpr std::string_view kLanguageServerName = "lintrel-lsp";
inline constexpr std::string_view kLspUsage = "usage: lintrelc lsp [--stdio]";

// `argv[0]` is the command word; returns the exit code: 0 after shutdown
// and exit, 1 otherwise, 2 on bad usage.
int runLanguageServer(int argc, char** argv);

}  // namespace lintrel::app
