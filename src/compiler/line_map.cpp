// The line assembler's first run, kept to its numbering. A line is numbered
// with the values in force after its own directive (with "&P=BASIC",
// "PRINT 5 &C=100" is line 100), so the number is read back from the state
// once the line is assembled.
#include "compiler/line_map.h"

#include "compiler/passes.h"

namespace lintrel {

BasicLineMap mapBasicLines(const std::vector<std::string>& projectLines, const BuildOptions& options) {
    using namespace passes;
    BasicLineMap map;
    map.numbers.reserve(projectLines.size());
    AssemblerState state;
    state.platform = &noPlatform();
    state.removeSpaces = options.removeSpaces;
    LabelTable labels;  // the assembler fills it; the numbers do not need it
    AssembledLine assembled;
    for (std::size_t i = 0; i < projectLines.size(); ++i) {
        map.error = scanLabelsAndDirectives(state, projectLines[i], static_cast<int>(i), labels, assembled);
        if (map.error) break;
        labels.names.clear();
        labels.numbers.clear();
        const bool numbered =
            !assembled.text.empty() && state.platform->lineNumberForm != LineNumberForm::None;
        map.numbers.push_back(numbered ? state.lineNumber - state.increment : kNoBasicLine);
    }
    map.mappedLines = static_cast<int>(map.numbers.size());
    return map;
}

// Numbers only grow from line to line, so the numbered lines are sorted.
BasicLinePlace findBasicLine(const BasicLineMap& map, long long number) {
    BasicLinePlace place;
    std::optional<int> atOrBefore;
    for (int line = 0; line < map.mappedLines; ++line) {
        const long long here = map.numbers[static_cast<std::size_t>(line)];
        if (here == kNoBasicLine) continue;
        if (place.first == kNoBasicLine) place.first = here;
        place.last = here;
        if (here <= number) atOrBefore = line;
    }
    if (place.first != kNoBasicLine && number <= place.last) place.sourceLine = atOrBefore;
    return place;
}

}  // namespace lintrel
