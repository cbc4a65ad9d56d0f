// The build driver: runs the passes in their order and stops at the first
// error. The assembler runs twice: once over all lines for the label table and
// the directive and line-number errors, then again line by line, each line
// going straight through the later passes, so the whole program is never held
// in more than its finished form.
#include "compiler/build.h"

#include <algorithm>

#include "compiler/passes.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

using namespace passes;

// The project's lines, either as a list or as file bytes split at CR LF, LF
// or a lone CR (a final line break starts no further line). The bytes are
// split once, into views of them, for both runs of the assembler.
struct SourceLines {
    const std::vector<std::string>* list = nullptr;
    std::vector<std::string_view> split;

    template <typename Visit>
    void forEach(Visit&& visit) const {
        if (list != nullptr) {
            for (std::size_t i = 0; i < list->size(); ++i) {
                if (!visit(static_cast<int>(i), std::string_view((*list)[i]))) return;
            }
            return;
        }
        for (std::size_t i = 0; i < split.size(); ++i) {
            if (!visit(static_cast<int>(i), split[i])) return;
        }
    }

    int count() const { return static_cast<int>(list != nullptr ? list->size() : split.size()); }
};

// Both bars, moved by the build's events. The stage bar counts to the stage
// count of the platform in force, and each stage step that runs moves it
// once, so it ends full. Coarse reporting keeps the window's event
// processing cheap.
class Progress {
public:
    explicit Progress(const BuildProgress& callbacks) : callbacks_(callbacks) {}

    void started(int lines) {
        setStageMaximum(stageCount(*platform_));
        pass(0, lines);
    }
    void reading(int index, int lines) const { passSometimes(index, lines); }
    void platformInForce(const Platform& platform) {
        if (&platform == platform_) return;
        platform_ = &platform;
        setStageMaximum(stageCount(platform));
    }
    void read(int lines) const { pass(lines, lines); }
    void sortingLabels(std::size_t rows) const { pass(0, static_cast<long long>(rows)); }
    void labelsIndexed(std::size_t rows) {
        pass(static_cast<long long>(rows), static_cast<long long>(rows));
        advanceStage();
    }
    void nibblesEncoded() {
        pass(256, 256);
        advanceStage();
    }
    // The tokenizer starts and its keyword codes become nibble pairs.
    void finishingLines(std::size_t lines) {
        pass(0, static_cast<long long>(lines));
        advanceStage();
        advanceStage();
    }
    void finishing(std::size_t done, std::size_t lines) const {
        passSometimes(static_cast<long long>(done), static_cast<long long>(lines));
    }
    // The tokenizer's line pass and its last nibble encoding are done.
    void finished(std::size_t lines) {
        pass(static_cast<long long>(lines), static_cast<long long>(lines));
        advanceStage();
        advanceStage();
    }

private:
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

    const BuildProgress& callbacks_;
    const Platform* platform_ = &noPlatform();
    int stagePosition_ = 0;
    int stageMaximum_ = 0;
};

AssemblerState startState(const BuildOptions& options) {
    AssemblerState state;
    state.platform = &noPlatform();
    state.removeSpaces = options.removeSpaces;
    return state;
}

// Pass 1, first run: the label table, the directives and their errors, the
// platform in force at the end. Returns how many transfer lines there will be.
std::size_t readLabels(const SourceLines& source, const BuildOptions& options, Progress& progress,
                       LabelTable& labels, BuildResult& result) {
    const int lineCount = source.count();
    progress.started(lineCount);
    AssemblerState state = startState(options);
    AssembledLine assembled;
    std::size_t transferCount = 0;
    source.forEach([&](int index, std::string_view line) {
        progress.reading(index, lineCount);
        result.error = scanLabelsAndDirectives(state, line, index, labels, assembled);
        progress.platformInForce(*state.platform);
        if (!assembled.text.empty()) ++transferCount;
        return !result.error;
    });
    result.platform = state.platform;
    result.emulatorCommand = state.emulatorCommand;
    if (!result.error) progress.read(lineCount);
    return transferCount;
}

// Pass 2 set-up: the table sorted and indexed, where the platform resolves labels.
LabelIndex prepareLabels(const Platform& platform, LabelTable& labels, Progress& progress) {
    if (!platform.resolvesLabels) return {};
    progress.sortingLabels(labels.names.size());
    sortLabels(labels);
    LabelIndex index = indexLabels(labels);
    progress.labelsIndexed(labels.names.size());
    return index;
}

// Pass 1 again, each line straight through passes 2 to 5 into `result`.
void finishLines(const SourceLines& source, const BuildOptions& options, const LabelIndex& labels,
                 std::size_t transferCount, Progress& progress, BuildResult& result) {
    const Platform& platform = *result.platform;
    const PlatformTables& tables = tablesOf(platform);
    const bool checking = !platform.characters.empty();
    result.lines.reserve(transferCount);
    result.sourceLines.reserve(transferCount);
    AssemblerState state = startState(options);
    AssembledLine assembled;
    std::string scratch;
    source.forEach([&](int index, std::string_view line) {
        assembleLine(state, line, index, assembled);
        std::string& text = assembled.text;
        if (text.empty()) return true;
        if (platform.resolvesLabels) resolveLabels(labels, text, scratch);
        if (platform.runsNibblePass) {
            encodeNibbles(text, scratch);
            text.swap(scratch);
        }
        tokenizeLine(tables, text, scratch);
        if (checking) {
            result.error = checkCharacters(platform, text, line, assembled, index);
            if (result.error) return false;
        }
        progress.finishing(result.lines.size(), transferCount);
        result.lines.emplace_back(text);
        result.sourceLines.push_back(index);
        return true;
    });
}

BuildResult runBuild(const SourceLines& source, const BuildOptions& options, const BuildProgress& callbacks) {
    BuildResult result;
    Progress progress(callbacks);
    LabelTable labels;
    const std::size_t transferCount = readLabels(source, options, progress, labels, result);
    if (!result.error) {
        const Platform& platform = *result.platform;
        const LabelIndex index = prepareLabels(platform, labels, progress);
        if (platform.runsNibblePass) progress.nibblesEncoded();
        progress.finishingLines(transferCount);
        finishLines(source, options, index, transferCount, progress, result);
        if (!result.error) progress.finished(transferCount);
    }
    result.labelNames = std::move(labels.names);
    result.labelNumbers = std::move(labels.numbers);
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
    source.split.reserve(static_cast<std::size_t>(std::count(projectText.begin(), projectText.end(), '\n')) + 1);
    forEachLine(projectText, [&source](std::string_view line) {
        source.split.push_back(line);
        return true;
    });
    return runBuild(source, options, progress);
}

}  // namespace lintrel
