#include "compiler/diagnostic_text.h"

#include <optional>

#include "text/code_page_1250.h"

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

// Spaces up to the column, keeping the line's TABs so that the caret lines
// up under any tab width.
std::string caretLine(std::string_view source, const Diagnostic& diagnostic) {
    std::string caret;
    for (int i = 0; i < diagnostic.column; ++i) {
        const auto at = static_cast<std::size_t>(i);
        caret += at < source.size() && source[at] == '\t' ? '\t' : ' ';
    }
    caret += '^';
    if (diagnostic.length > 1) caret.append(static_cast<std::size_t>(diagnostic.length - 1), '~');
    return caret;
}

}  // namespace

std::string diagnosticText(std::string_view project, const Diagnostic& diagnostic,
                           std::string_view projectBytes) {
    const bool hasLine = diagnostic.line >= 0;
    std::string text(project);
    if (hasLine)
        text += ':' + std::to_string(diagnostic.line + 1) + ':' + std::to_string(diagnostic.column + 1);
    text += ": error: " + utf8FromCodePage1250(diagnostic.message) + '\n';
    const auto source = hasLine ? projectLine(projectBytes, diagnostic.line) : std::nullopt;
    if (!source) return text;
    text += utf8FromCodePage1250(*source) + '\n';
    text += caretLine(*source, diagnostic) + '\n';
    return text;
}

}  // namespace lintrel
