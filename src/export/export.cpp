#include "export/export.h"

#include <cassert>

#include "platforms/platforms.h"
#include "system/file_system.h"

namespace lintrel {

namespace {

// A program that does not fit has no place to select; the line is where it
// stopped fitting.
Diagnostic tooLargeDiagnostic(const BuildResult& build, const WriterError& error) {
    // Writers name one of the lines they were given, and each came from a source line.
    assert(error.lineIndex < build.sourceLines.size());
    Diagnostic diagnostic;
    diagnostic.message = error.message;
    if (error.lineIndex < build.sourceLines.size()) diagnostic.line = build.sourceLines[error.lineIndex];
    return diagnostic;
}

// The build's lines go before the file is written: the image holds the
// program now, and a large project needs little more than one copy of it.
CompiledProject writeOutputFile(BuildResult built, const std::filesystem::path& exportsFolder,
                                const WarningOptions& warnings) {
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
    compiled.file = exportsFolder / file.fileName;
    compiled.fileError = writeFileReplacing(compiled.file, file.bytes);
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
    ImageOutcome outcome = platform.writer(build.lines, platform.id);
    if (outcome.error) {
        result.error = tooLargeDiagnostic(build, *outcome.error);
        return result;
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
    return writeOutputFile(build(projectLines, options, progress), exportsFolder, options.warnings);
}

CompiledProject compileProjectText(std::string_view projectText, const BuildOptions& options,
                                   const std::filesystem::path& exportsFolder,
                                   const BuildProgress& progress) {
    return writeOutputFile(buildText(projectText, options, progress), exportsFolder, options.warnings);
}

}  // namespace lintrel
