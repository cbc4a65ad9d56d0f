// From finished lines to the one output file of a platform.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compiler/build.h"

namespace lintrel {

struct OutputFile {
    std::string fileName;              // "Compiled_HL2.htp", "Compiled_BASIC.bas", ...
    std::vector<unsigned char> bytes;  // the whole file
    bool isByteImage = false;          // byte images get the size report
    int reportOverhead = 0;
};

struct ExportResult {
    std::optional<Diagnostic> error;  // program does not fit the format
    OutputFile file;
    bool ok() const { return !error.has_value(); }
};

// Pure: picks the writer of the build's platform and assembles the file bytes.
ExportResult makeOutputFile(const BuildResult& build);

// "The size of the created file is: N bytes." CR LF "The size of the BASIC code is: M bytes."
std::string sizeReport(long long fileSize, int reportOverhead);

}  // namespace lintrel
