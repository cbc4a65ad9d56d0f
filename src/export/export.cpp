#include "export/export.h"

#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <system_error>

#include "platforms/platforms.h"
#include "system/file_system.h"

namespace lintrel {

namespace {

// A program that does not fit has no place to select; the line is where it
// stopped fitting.
Diagnostic tooLargeDiagnostic(const BuildResult& build, const WriterError& error) {
    // Writers name one of the lines they were given, and each came from a source line.
    assert(error.lineIndex < build.program.size());
    Diagnostic diagnostic;
    diagnostic.message = error.message;
    if (error.lineIndex < build.program.size()) diagnostic.line = static_cast<int>(build.program.origin(error.lineIndex));
    return diagnostic;
}

std::string streamName(int stream) {
    return stream == STDOUT_FILENO ? "standard output" : "stream " + std::to_string(stream);
}

std::string quoted(const std::filesystem::path& path) {
    std::string text = "\"";  // built by appends: GCC 12 at -O3 warns wrongly on "\"" + string
    text += path.string();
    text += '"';
    return text;
}

// Where the image read back differs from the finished lines it was made
// from: the transfer line (or the first one past the image's lines) and what
// differs.
struct ReadBackDifference {
    std::size_t lineIndex = 0;
    std::string what;
};

std::optional<ReadBackDifference> compareReadBack(const Platform& platform, const Program& program,
                                                  const std::vector<unsigned char>& image) {
    const ImageReading reading = platform.reader(image);
    if (!reading.ok()) return ReadBackDifference{0, "it cannot be read: " + describeFault(*reading.fault)};
    if (reading.platform != platform.id) {
        return ReadBackDifference{0, "it reads as an image for \"" + std::string(reading.platform) + "\""};
    }
    const Program& read = reading.program;
    const std::size_t common = std::min(program.size(), read.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto built = program.bytes(i);
        const auto stored = read.bytes(i);
        if (program.number(i) != read.number(i) || !std::equal(built.begin(), built.end(), stored.begin(), stored.end())) {
            return ReadBackDifference{i, "line " + std::to_string(read.number(i)) + " at offset " +
                                             std::to_string(read.origin(i)) + " differs"};
        }
    }
    if (read.size() < program.size()) return ReadBackDifference{read.size(), "it ends before this line"};
    if (read.size() > program.size())
        return ReadBackDifference{program.empty() ? 0 : program.size() - 1, "it holds more lines"};
    return std::nullopt;
}

Diagnostic readBackDiagnostic(const BuildResult& build, const ReadBackDifference& difference) {
    Diagnostic diagnostic;
    diagnostic.message = "Internal error: the " + std::string(build.platform->id) +
                         " image does not read back as built (" + difference.what + "); nothing was written.";
    if (difference.lineIndex < build.program.size())
        diagnostic.line = static_cast<int>(build.program.origin(difference.lineIndex));
    return diagnostic;
}

// The build's lines go before the file is written: the image holds the
// program now, and a large project needs little more than one copy of it.
CompiledProject writeOutputFile(BuildResult built, const OutputPlace& place, const WarningOptions& warnings) {
    CompiledProject compiled;
    compiled.emulatorCommand = std::move(built.emulatorCommand);
    compiled.platform = built.platform;
    compiled.warnings = std::move(built.warnings);
    compiled.warningCount = built.warningCount;
    if (built.ok() && warnings.asErrors && compiled.warningCount > 0) {
        compiled.stoppedByWarnings = true;
        return compiled;
    }
    ExportResult exported = makeOutputFile(built);
    built = BuildResult{};
    if (!exported.ok()) {
        compiled.error = std::move(exported.error);
        return compiled;
    }
    const OutputFile& file = exported.file;
    if (place.kind == OutputPlace::Kind::Stream) {
        if (const auto reason = writeStreamBytes(place.stream, file.bytes))
            compiled.fileError = "Cannot write to " + streamName(place.stream) + ": " + *reason;
    } else {
        compiled.file = place.kind == OutputPlace::Kind::File ? place.path : place.path / file.fileName;
        compiled.fileError = writeFileReplacing(compiled.file, file.bytes, systemFileCalls(), Sync::None);
    }
    if (compiled.fileError) return compiled;
    compiled.fileSize = static_cast<long long>(file.bytes.size());
    if (file.isByteImage) {
        compiled.programSize = compiled.fileSize - file.reportOverhead;
        compiled.sizeReport = sizeReport(compiled.fileSize, file.reportOverhead);
    }
    return compiled;
}

}  // namespace

ExportResult makeOutputFile(const BuildResult& build) {
    ExportResult result;
    if (build.error) {
        result.error = build.error;
        return result;
    }
    // Every row names its writer (checked where the rows are written).
    assert(build.platform != nullptr && build.platform->writer != nullptr);
    const Platform& platform = *build.platform;
    ImageOutcome outcome = platform.writer(build.program, platform.id);
    if (outcome.error) {
        result.error = tooLargeDiagnostic(build, *outcome.error);
        return result;
    }
    // Every image is read back before it may replace a file: a writer fault
    // shows here instead of on the machine.
    if (platform.reader != nullptr) {
        if (auto difference = compareReadBack(platform, build.program, outcome.bytes)) {
            result.error = readBackDiagnostic(build, *difference);
            return result;
        }
    }
    result.file.fileName = std::string(platform.fileName);
    result.file.bytes = std::move(outcome.bytes);
    result.file.isByteImage = platform.reportOverhead.has_value();
    result.file.reportOverhead = platform.reportOverhead.value_or(0);
    return result;
}

std::string sizeReport(long long fileSize, int reportOverhead) {
    return "The size of the created file is: " + std::to_string(fileSize) + " bytes.\r\n" +
           "The size of the BASIC code is: " + std::to_string(fileSize - reportOverhead) + " bytes.";
}

CompiledProject compileProject(const std::vector<std::string>& projectLines, const BuildOptions& options,
                               const std::filesystem::path& exportsFolder, const BuildProgress& progress) {
    return writeOutputFile(build(projectLines, options, progress), {OutputPlace::Kind::ExportsFolder, exportsFolder},
                           options.warnings);
}

CompiledProject compileProjectText(std::string_view projectText, const BuildOptions& options,
                                   const std::filesystem::path& exportsFolder,
                                   const BuildProgress& progress) {
    return compileProjectText(projectText, options, {OutputPlace::Kind::ExportsFolder, exportsFolder}, progress);
}

CompiledProject compileProjectText(std::string_view projectText, const BuildOptions& options,
                                   const OutputPlace& place, const BuildProgress& progress) {
    return writeOutputFile(buildText(projectText, options, progress), place, options.warnings);
}

// Neither folder is ever created: a write that failed for want of one says so.
std::string outputProblem(const OutputPlace& place, const std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (place.kind == OutputPlace::Kind::Stream) return error;
    if (place.kind == OutputPlace::Kind::ExportsFolder) {
        if (fs::is_directory(place.path, code)) return error;
        return "the exports folder " + quoted(place.path) +
               (fs::exists(place.path, code) ? " is not a folder" : " does not exist");
    }
    if (fs::is_directory(place.path, code) || !place.path.has_filename()) return quoted(place.path) + " is a folder";
    const fs::path folder = place.path.has_parent_path() ? place.path.parent_path() : ".";
    if (fs::is_directory(folder, code)) return error;
    return "the folder " + quoted(folder) + (fs::exists(folder, code) ? " is not a folder" : " does not exist");
}

}  // namespace lintrel
