// The line assembler's first run, kept to its numbering. A line is numbered
// with the values in force after its own directive (with "&P=BASIC",
// "PRINT 5 &C=100" is line 100), so the number is read back from the state
// once the line is assembled.
#include "compiler/line_map.h"

#include "compiler/assembler.h"
#include "compiler/labels.h"

namespace lintrel {

namespace {

BasicLineMap numberLines(const std::vector<std::string>& projectLines, const BuildOptions& options,
                         const passes::LabelIndex* names, passes::LabelTable& labels) {
    using namespace passes;
    BasicLineMap map;
    map.numbers.reserve(projectLines.size());
    AssemblerState state;
    state.platform = &noPlatform();
    state.removeSpaces = options.removeSpaces;
    AssembledLine assembled;
    for (std::size_t i = 0; i < projectLines.size(); ++i) {
        map.error =
            scanLabelsAndDirectives(state, projectLines[i], static_cast<int>(i), labels, assembled, names);
        if (map.error) break;
        const bool numbered = assembled.made && state.platform->lineNumberForm != LineNumberForm::None;
        map.numbers.push_back(numbered ? assembled.number : kNoBasicLine);
    }
    map.mappedLines = static_cast<int>(map.numbers.size());
    return map;
}

}  // namespace

// A label name that holds "&" or "{" changes how the lines that name it are
// read, so such a project is numbered again once its names are known.
BasicLineMap mapBasicLines(const std::vector<std::string>& projectLines, const BuildOptions& options) {
    passes::LabelTable labels;
    BasicLineMap map = numberLines(projectLines, options, nullptr, labels);
    if (map.error || !passes::labelNamesHideUnits(labels)) return map;
    passes::sortLabels(labels);
    const passes::LabelIndex names = passes::indexLabels(labels);
    passes::LabelTable again;
    return numberLines(projectLines, options, &names, again);
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
