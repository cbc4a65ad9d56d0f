// The BASIC line number that each source line becomes, for the editor's
// gutter and its Go to BASIC line. Runs the line assembler's numbering only:
// no labels are resolved and nothing is tokenized, so it is cheap enough to
// run again whenever the text changes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compiler/build.h"

namespace lintrel {

inline constexpr long long kNoBasicLine = -1;

struct BasicLineMap {
    // One entry per source line up to `mappedLines`: the number the line is
    // stored under on the machine, or kNoBasicLine for a line that makes no
    // program line (blank, comment, directive, label only) or whose program
    // line carries no number (before the first "&P=").
    std::vector<long long> numbers;
    // How many source lines were numbered: all of them, or the lines before
    // the one where a directive error or the line-number limit stopped it.
    int mappedLines = 0;
    std::optional<Diagnostic> error;  // what stopped it
};

BasicLineMap mapBasicLines(const std::vector<std::string>& projectLines, const BuildOptions& options);

// Where BASIC line `number` comes from: the source line (0-based) that makes
// it, or the line before it when no line has that number.
struct BasicLinePlace {
    std::optional<int> sourceLine;   // nullopt: before the first or after the last numbered line
    long long first = kNoBasicLine;  // the first and last numbers of the map
    long long last = kNoBasicLine;
};
BasicLinePlace findBasicLine(const BasicLineMap& map, long long number);

}  // namespace lintrel
