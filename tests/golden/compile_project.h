// The one place where the golden, failing and size-limit tests and the
// differential test reach the product: project file bytes in, the output
// file or the error that stopped it out. Nothing else in these tests knows
// how the product's build and export are put together.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"
#include "export/export.h"

namespace lintrel::testing {

struct CompiledProject {
    std::optional<Diagnostic> error;   // the build or the image writer stopped
    std::string fileName;              // "Compiled_HL2.htp", "Compiled_BASIC.bas", ...
    std::vector<unsigned char> bytes;  // the whole output file
};

inline CompiledProject compileProject(std::string_view projectBytes, bool removeSpaces) {
    BuildOptions options;
    options.removeSpaces = removeSpaces;
    ExportResult exported = makeOutputFile(buildText(projectBytes, options));
    if (exported.error) return {std::move(exported.error), {}, {}};
    return {std::nullopt, std::move(exported.file.fileName), std::move(exported.file.bytes)};
}

}  // namespace lintrel::testing
