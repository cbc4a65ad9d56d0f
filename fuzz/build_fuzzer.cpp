// Fuzz target: the whole build and the output file from arbitrary project
// bytes. The first byte picks the space-removal option; the rest is the file.
#include <cstddef>
#include <cstdint>

#include "export/export.h"
#include "require.h"
#include "text/code_page_1250.h"

using lintrel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const lintrel::BuildOptions options{(data[0] & 1) != 0};
    const auto lines = lintrel::splitProjectLines(
        std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    const lintrel::BuildResult result = lintrel::build(lines, options);
    if (result.error) {
        require(!result.error->message.empty(), "an error without a message");
        require(result.error->line >= -1 && result.error->line < static_cast<int>(lines.size()),
                "an error line outside the project");
        if (result.error->selects) {
            require(result.error->line >= 0, "a selection without a line");
            const auto& line = lines[static_cast<std::size_t>(result.error->line)];
            require(result.error->column >= 0 && result.error->length >= 0 &&
                        result.error->column + result.error->length <= static_cast<int>(line.size()),
                    "a selection outside its line");
        }
        return 0;
    }
    require(result.labelNames.size() == result.labelNumbers.size(), "label lists out of step");
    const lintrel::Program& program = result.program;
    for (std::size_t i = 0; i < program.size(); ++i) {
        require(!program.bytes(i).empty(), "an empty program line");
        require(program.origin(i) < lines.size(), "a program line from outside the project");
        require(i == 0 || program.origin(i) > program.origin(i - 1), "program lines out of order");
    }
    const lintrel::ExportResult file = lintrel::makeOutputFile(result);
    if (file.error) require(!file.error->message.empty(), "an export error without a message");
    return 0;
}
