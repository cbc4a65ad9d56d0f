// The build driver: runs the passes in their order and stops at the first
// error. The assembler runs twice: once over all lines for the label table and
// the directive and line-number errors, then again line by line, each line
// going straight through the later passes, so the whole program is never held
// in more than its finished form.
#include "compiler/build.h"

#include "compiler/passes.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

using namespace passes;

// The project's lines, either as a list or as file bytes split at CR LF, LF
// or a lone CR (a final line break starts no further line).
struct SourceLines {
    const std::vector<std::string>* list = nullptr;
    std::string_view text;

    template <typename Visit>
    void forEach(Visit&& visit) const {
        if (list != nullptr) {
            for (std::size_t i = 0; i < list->size(); ++i) {
                if (!visit(static_cast<int>(i), std::string_view((*list)[i]))) return;
            }
            return;
        }
        int index = 0;
        forEachLine(text, [&](std::string_view line) { return visit(index++, line); });
    }

    int count() const {
        if (list != nullptr) return static_cast<int>(list->size());
        int lines = 0;
        forEach([&](int, std::string_view) { return ++lines, true; });
        return lines;
    }
};

// Both bars; coarse reporting keeps the window's event processing cheap.
class Progress {
public:
    explicit Progress(const BuildProgress& callbacks) : callbacks_(callbacks) {}
    void pass(long long position, long long maximum) const {
        if (callbacks_.pass) callbacks_.pass(static_cast<int>(position), static_cast<int>(maximum));
    }
    void passSometimes(long long position, long long maximum) const {
        if (position % 1024 == 0) pass(position, maximum);
    }
    void setStageMaximum(int maximum) {
        stageMaximum_ = maximum;
        if (callbacks_.stage) callbacks_.stage(stagePosition_, stageMaximum_);
    }
    void advanceStage() {
        ++stagePosition_;
        if (callbacks_.stage) callbacks_.stage(stagePosition_, stageMaximum_);
    }

private:
    const BuildProgress& callbacks_;
    int stagePosition_ = 0;
    int stageMaximum_ = 4;
};

AssemblerState startState(const BuildOptions& options) {
    AssemblerState state;
    state.platform = &noPlatform();
    state.removeSpaces = options.removeSpaces;
    return state;
}

BuildResult runBuild(const SourceLines& source, const BuildOptions& options, const BuildProgress& callbacks) {
    BuildResult result;
    Progress progress(callbacks);
    const int lineCount = source.count();
    progress.setStageMaximum(4);
    progress.pass(0, lineCount);

    // Pass 1, first run: label table, directives, line-number limits.
    AssemblerState state = startState(options);
    LabelTable labels;
    AssembledLine assembled;
    std::size_t transferCount = 0;
    source.forEach([&](int index, std::string_view line) {
        progress.passSometimes(index, lineCount);
        const Platform* before = state.platform;
        result.error = scanLabelsAndDirectives(state, line, index, labels, assembled);
        if (state.platform != before) progress.setStageMaximum(stageCount(*state.platform));
        if (!assembled.text.empty()) ++transferCount;
        return !result.error;
    });
    result.platform = state.platform;
    result.emulatorCommand = state.emulatorCommand;
    if (result.error) {
        result.labelNames = std::move(labels.names);
        result.labelNumbers = std::move(labels.numbers);
        return result;
    }
    progress.pass(lineCount, lineCount);

    const Platform& platform = *state.platform;
    const bool resolving = platform.resolvesLabels;
    const bool driverNibbles = platform.runsNibblePass;
    LabelIndex labelIndex;
    if (resolving) {  // pass 2 set-up: sort and index the table
        progress.pass(0, static_cast<long long>(labels.names.size()));
        sortLabels(labels);
        labelIndex = indexLabels(labels);
        progress.pass(static_cast<long long>(labels.names.size()), static_cast<long long>(labels.names.size()));
        progress.advanceStage();
    }
    if (driverNibbles) {
        progress.pass(256, 256);
        progress.advanceStage();
    }
    progress.pass(0, static_cast<long long>(transferCount));
    progress.advanceStage();  // the tokenizer starts
    progress.advanceStage();  // its keyword codes become nibble pairs

    // Pass 1 again, each line through passes 2 to 5.
    const PlatformTables& tables = tablesOf(platform);
    const bool checking = !platform.characters.empty();
    result.lines.reserve(transferCount);
    result.sourceLines.reserve(transferCount);
    AssemblerState again = startState(options);
    std::string scratch;
    source.forEach([&](int index, std::string_view line) {
        assembleLine(again, line, index, assembled);
        std::string& text = assembled.text;
        if (text.empty()) return true;
        if (resolving) resolveLabels(labelIndex, text, scratch);
        if (driverNibbles) {
            encodeNibbles(text, scratch);
            text.swap(scratch);
        }
        tokenizeLine(tables, text, scratch);
        if (checking) {
            result.error = checkCharacters(platform, text, line, assembled, index);
            if (result.error) return false;
        }
        progress.passSometimes(static_cast<long long>(result.lines.size()), static_cast<long long>(transferCount));
        result.lines.emplace_back(text);
        result.sourceLines.push_back(index);
        return true;
    });
    result.labelNames = std::move(labels.names);
    result.labelNumbers = std::move(labels.numbers);
    if (result.error) return result;
    progress.pass(static_cast<long long>(transferCount), static_cast<long long>(transferCount));
    progress.advanceStage();  // the tokenizer's line pass is done
    progress.advanceStage();  // its last nibble encoding
    return result;
}

}  // namespace

BuildResult build(const std::vector<std::string>& projectLines, const BuildOptions& options,
                  const BuildProgress& progress) {
    SourceLines source;
    source.list = &projectLines;
    return runBuild(source, options, progress);
}

BuildResult buildText(std::string_view projectText, const BuildOptions& options, const BuildProgress& progress) {
    SourceLines source;
    source.text = projectText;
    return runBuild(source, options, progress);
}

}  // namespace lintrel
