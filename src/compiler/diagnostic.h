// A build error or warning as the window and the command line report it.
#pragma once

#include <string>

namespace lintrel {

struct Diagnostic {
    std::string message;     // exact user-facing text, code page 1250 bytes
    int line = -1;           // 0-based editor line; -1 when no line applies
    int column = 0;          // 0-based column of the selection start
    int length = 0;          // characters to select
    bool selects = false;    // false: nothing is selected (line-number limit)
};

}  // namespace lintrel
