#include "export/export.h"

#include <cassert>

#include "platforms/platforms.h"

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

}  // namespace lintrel
