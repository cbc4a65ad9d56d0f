// Classic BASIC projects of any size that build without error on every
// platform: loops, strings, DATA, remarks, labels and their references.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lintrel::bench {

struct SampleShape {
    int lines = 1000;
    int statementsPerLine = 1;  // joined with ":"
    bool numbered = true;       // false: "&P=" comes last, so no line-number limit applies
};

std::vector<std::string> sampleProgram(std::string_view platform, const SampleShape& shape);

// The typical program: twelve statements in turn, one a line (REM, LET,
// FOR/NEXT, IF..THEN GOSUB, PRINT, STR$/CHR$, DATA, DIM/READ, PRINT TAB, GOTO,
// RND, POKE/PEEK), a label every 48 lines, until the file holds `bytes`.
std::vector<std::string> typicalProgram(std::string_view platform, std::size_t bytes);

// Bytes of the project file: every line plus CR LF.
std::size_t projectBytes(const std::vector<std::string>& lines);

}  // namespace lintrel::bench
