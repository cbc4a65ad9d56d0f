#include "images/export.h"

#include <array>

#include "images/homelab_htp.h"
#include "images/ht_cas.h"
#include "images/primo_pri.h"
#include "images/text_export.h"
#include "images/tvc_cas.h"
#include "images/writers.h"
#include "platforms/platforms.h"

namespace lintrel {

namespace {

struct WriterRow {
    ImageFormat image;
    ImageWriter writer;
};

constexpr std::array<WriterRow, 5> kWriters = {{
    {ImageFormat::Text, writeTextExport},
    {ImageFormat::Homelab, writeHomelabImage},
    {ImageFormat::Primo, writePrimoImage},
    {ImageFormat::Ht, writeHtImage},
    {ImageFormat::Tvc, writeTvcImage},
}};

ImageWriter writerFor(ImageFormat image) {
    for (const WriterRow& row : kWriters) {
        if (row.image == image) return row.writer;
    }
    return nullptr;
}

// A program that does not fit has no place to select; the line is where it
// stopped fitting.
Diagnostic tooLargeDiagnostic(const BuildResult& build, const WriterError& error) {
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
    const Platform* platform = build.platform.empty() ? &noPlatform() : findPlatform(build.platform);
    const ImageWriter writer = platform ? writerFor(platform->image) : nullptr;
    if (!writer) {
        result.error = Diagnostic{"\"" + build.platform + "\" is not a valid platform!", -1, 0, 0, false};
        return result;
    }
    ImageOutcome outcome = writer(build.lines, build.platform);
    if (outcome.error) {
        result.error = tooLargeDiagnostic(build, *outcome.error);
        return result;
    }
    result.file.fileName = std::string(platform->fileName);
    result.file.bytes = std::move(outcome.bytes);
    result.file.isByteImage = platform->image != ImageFormat::Text;
    result.file.reportOverhead = platform->reportOverhead;
    return result;
}

std::string sizeReport(long long fileSize, int reportOverhead) {
    return "The size of the created file is: " + std::to_string(fileSize) + " bytes.\r\n" +
           "The size of the BASIC code is: " + std::to_string(fileSize - reportOverhead) + " bytes.";
}

}  // namespace lintrel
