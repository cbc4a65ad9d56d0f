#include "compiler/diagnostic_text.h"

#include <optional>

#include "text/code_page_1250.h"
#include "text/terminal_text.h"

namespace lintrel {

namespace {

// Line `index` (from 0) of the project bytes.
std::optional<std::string_view> projectLine(std::string_view bytes, int index) {
    std::optional<std::string_view> found;
    int line = 0;
    forEachLine(bytes, [&](std::string_view text) {
        if (line++ == index) found = text;
        return !found;
    });
    return found;
}

}  // namespace

std::string diagnosticText(std::string_view project, const Diagnostic& diagnostic,
                           std::string_view projectBytes) {
    const bool hasLine = diagnostic.line >= 0;
    std::string text = escapeControls(project);
    if (hasLine)
        text += ':' + std::to_string(diagnostic.line + 1) + ':' + std::to_string(diagnostic.column + 1);
    text += ": error: " + escapeControls(utf8FromCodePage1250(diagnostic.message)) + '\n';
    const auto source = hasLine ? projectLine(projectBytes, diagnostic.line) : std::nullopt;
    if (!source) return text;
    const EchoedLine echoed = echoSourceLine(*source, diagnostic.column, diagnostic.length);
    text += echoed.text + '\n' + echoed.marks + '\n';
    return text;
}

}  // namespace lintrel
