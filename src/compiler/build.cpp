// The build driver: runs the passes in their order and stops at the first
// error. The assembler runs twice: once over all lines for the label table and
// the directive and line-number errors, then again line by line, each line
// going straight through the later passes, so the whole program is never held
// in more than its finished form.
#include "compiler/build.h"

#include <algorithm>

#include "compiler/assembler.h"
#include "compiler/labels.h"
#include "compiler/platform_tables.h"
#include "compiler/tokenizer.h"
#include "compiler/warnings.h"
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
    void literalsRead() {
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

// Program lines made under a platform other than the one in force at the end
// would be numbered or translated for the wrong machine. A line is made under
// the platform in force when it is read and numbered under the one in force
// when its last directive is done; both must be the last.
struct MadeUnder {
    const Platform* read;
    const Platform* numbered;
    int line;
};

// What the first run leaves for the rest of the build.
struct FirstRun {
    std::size_t transferCount = 0;
    std::vector<long long> lineNumbers;  // of every program line, when warnings are looked for
    std::vector<MadeUnder> madeUnder;    // the first line of each stretch made under other platforms
};

Diagnostic madeForAnotherPlatform(const MadeUnder& made, const Platform& last) {
    const Platform& other = made.read != &last ? *made.read : *made.numbered;
    const std::string id(last.id);
    const std::string madeFor =
        other.id.empty() ? "made before any \"&P=\"" : "made for " + std::string(other.id);
    return Diagnostic{"This program line was " + madeFor + ", but the last \"&P=\" builds " + id +
                          ": put \"&P=" + id + "\" before the first program line.",
                      made.line, 0, 0, false};
}

std::optional<Diagnostic> checkPlatformOfLines(const FirstRun& run, const Platform& last) {
    for (const MadeUnder& made : run.madeUnder) {
        if (made.read != &last || made.numbered != &last) return madeForAnotherPlatform(made, last);
    }
    return std::nullopt;
}

// Pass 1, first run: the label table, the directives and their errors, the
// platform in force at the end, and how many transfer lines there will be.
// `names`, once known, keep a label reference's "&" or "{" from beginning a
// directive or a brace unit.
FirstRun readLabels(const SourceLines& source, const BuildOptions& options, Progress& progress,
                    const LabelIndex* names, LabelTable& labels, BuildResult& result, Utf8Check* utf8) {
    const int lineCount = source.count();
    progress.started(lineCount);
    AssemblerState state = startState(options);
    AssembledLine assembled;
    FirstRun run;
    const bool numbering = options.warnings.enabled;
    source.forEach([&](int index, std::string_view line) {
        if (result.error) {
            // Past an error only the names: a name defined anywhere changes
            // how a reference to it is read, also on the lines before.
            if (const std::string_view name = definedLabelName(line); !name.empty()) {
                labels.names.emplace_back(name);
                labels.numbers.emplace_back();
                labels.lines.push_back(index);
            }
            return true;
        }
        progress.reading(index, lineCount);
        if (utf8 != nullptr) utf8->read(line, index);
        const Platform* read = state.platform;
        result.error = scanLabelsAndDirectives(state, line, index, labels, assembled, names);
        progress.platformInForce(*state.platform);
        if (assembled.made) {
            ++run.transferCount;
            if (numbering) run.lineNumbers.push_back(assembled.number);
            if (run.madeUnder.empty() || run.madeUnder.back().read != read ||
                run.madeUnder.back().numbered != state.platform)
                run.madeUnder.push_back({read, state.platform, index});
        }
        return true;
    });
    result.platform = state.platform;
    result.emulatorCommand = state.emulatorCommand;
    if (!result.error) progress.read(lineCount);
    return run;
}

// Pass 2 set-up: the table sorted and indexed. Without a platform nothing is
// resolved and the table keeps its order, but the assembler still reads
// references by their names, so a sorted copy is indexed.
LabelIndex prepareLabels(const Platform& platform, LabelTable& labels, LabelTable& copy, Progress& progress) {
    if (!platform.resolvesLabels) {
        if (labels.names.empty()) return {};
        copy = labels;
        sortLabels(copy);
        return indexLabels(copy);
    }
    progress.sortingLabels(labels.names.size());
    sortLabels(labels);
    LabelIndex index = indexLabels(labels);
    progress.labelsIndexed(labels.names.size());
    return index;
}

// The warnings of one build, each kind in place order until they are merged.
struct Warnings {
    WarningList utf8;
    WarningList definitions;
    WarningList lines;  // references, line by line
    WarningList unused;
    std::vector<char> used;  // per distinct label name
    std::optional<LineReferenceCheck> references;

    void into(BuildResult& result) const {
        std::vector<Diagnostic> all;
        std::size_t count = 0;
        for (const WarningList* list : {&utf8, &definitions, &lines, &unused}) {
            all.insert(all.end(), list->kept().begin(), list->kept().end());
            count += list->count();
        }
        std::stable_sort(all.begin(), all.end(), [](const Diagnostic& a, const Diagnostic& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        if (all.size() > kKeptWarnings) all.resize(kKeptWarnings);
        result.warnings = std::move(all);
        result.warningCount = count;
    }
};

// Pass 1 again, each line straight through passes 2 to 4 into `result`.
void finishLines(const SourceLines& source, const BuildOptions& options, const LabelIndex& labels,
                 std::size_t transferCount, Progress& progress, Warnings* warnings, BuildResult& result) {
    const Platform& platform = *result.platform;
    const PlatformTables& tables = tablesOf(platform);
    const bool tokenizing = !platform.characters.empty();
    Program& program = result.program;
    program.reserve(transferCount, 0);
    AssemblerState state = startState(options);
    AssembledLine assembled;
    LinePieces scratch;
    std::string text;
    Untranslated untranslated;
    WarningList labelWarnings;
    WarningList referenceWarnings;
    LabelContext context{&labels, nullptr, nullptr};
    if (warnings != nullptr && platform.resolvesLabels) {
        context.warnings = &labelWarnings;
        if (options.warnings.unusedLabels) context.used = &warnings->used;
    }
    source.forEach([&](int index, std::string_view line) {
        labelWarnings.clear();
        referenceWarnings.clear();
        assembleLine(state, line, index, assembled, context);
        if (assembled.made) {
            if (platform.resolvesLabels) resolveLabels(labels, assembled.pieces, scratch, text);
            tokenizeLine(tables, assembled.pieces, program.pending(), untranslated);
            if (tokenizing) {
                result.error = checkCharacters(platform, untranslated, line, assembled, index);
                untranslated.clear();
            }
            if (!result.error && warnings != nullptr && warnings->references) {
                const auto bytes = program.pendingBytes();
                warnings->references->check({reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                            program.size(), line, assembled, index, referenceWarnings);
            }
        }
        if (warnings != nullptr && !(labelWarnings.empty() && referenceWarnings.empty()))
            warnings->lines.appendLine(labelWarnings, referenceWarnings);
        if (result.error) {
            program.dropPending();
            return false;
        }
        if (!assembled.made) return true;
        progress.finishing(program.size(), transferCount);
        program.endLine(static_cast<long>(assembled.number), static_cast<std::size_t>(index));
        return true;
    });
}

BuildResult runBuild(const SourceLines& source, const BuildOptions& options, const BuildProgress& callbacks) {
    BuildResult result;
    Progress progress(callbacks);
    std::optional<Warnings> warnings;
    if (options.warnings.enabled) warnings.emplace();
    Utf8Check utf8;
    LabelTable labels;
    FirstRun first =
        readLabels(source, options, progress, nullptr, labels, result, warnings ? &utf8 : nullptr);
    if (labelNamesHideUnits(labels)) {
        LabelTable names = std::move(labels);
        sortLabels(names);
        const LabelIndex nameIndex = indexLabels(names);
        labels = LabelTable{};
        result.error.reset();
        first = readLabels(source, options, progress, &nameIndex, labels, result, nullptr);
    }
    if (warnings) utf8.add(warnings->utf8);
    if (!result.error) result.error = checkPlatformOfLines(first, *result.platform);
    if (!result.error) {
        const Platform& platform = *result.platform;
        LabelTable copy;
        const LabelIndex index = prepareLabels(platform, labels, copy, progress);
        if (warnings) {
            if (platform.resolvesLabels) warnAboutDefinitions(labels, index, warnings->definitions);
            warnings->used.assign(index.names.size(), 0);
            warnings->references.emplace(platform, std::move(first.lineNumbers));
        }
        if (platform.literalStage) progress.literalsRead();
        progress.finishingLines(first.transferCount);
        finishLines(source, options, index, first.transferCount, progress, warnings ? &*warnings : nullptr,
                    result);
        if (!result.error) progress.finished(first.transferCount);
        if (warnings && !result.error) {
            warnings->references->finish(warnings->lines);
            if (options.warnings.unusedLabels && platform.resolvesLabels)
                warnAboutUnusedLabels(labels, index, warnings->used, warnings->unused);
        }
    }
    if (warnings) warnings->into(result);
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
