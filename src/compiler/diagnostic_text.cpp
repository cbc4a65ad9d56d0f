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

// The first line of one diagnostic, then its source line and caret.
std::string oneDiagnostic(std::string_view project, const Diagnostic& diagnostic, std::string_view severity,
                          std::optional<std::string_view> source) {
    std::string text(project);
    if (diagnostic.line >= 0)
        text += ':' + std::to_string(diagnostic.line + 1) + ':' + std::to_string(diagnostic.column + 1);
    text += ": ";
    text += severity;
    text += ": " + utf8FromCodePage1250(diagnostic.message) + '\n';
    if (!source) return text;
    text += utf8FromCodePage1250(*source) + '\n';
    text += caretLine(*source, diagnostic) + '\n';
    return text;
}

}  // namespace

std::string diagnosticText(std::string_view project, const Diagnostic& diagnostic,
                           std::string_view projectBytes) {
    const auto source = diagnostic.line >= 0 ? projectLine(projectBytes, diagnostic.line) : std::nullopt;
    return oneDiagnostic(project, diagnostic, "error", source);
}

std::string diagnosticsText(std::string_view project, const std::vector<Diagnostic>& diagnostics,
                            std::string_view severity, std::string_view projectBytes) {
    std::string text;
    std::size_t next = 0;
    // Those without a line first, as they sort; then one walk over the lines.
    while (next < diagnostics.size() && diagnostics[next].line < 0)
        text += oneDiagnostic(project, diagnostics[next++], severity, std::nullopt);
    int line = 0;
    forEachLine(projectBytes, [&](std::string_view source) {
        while (next < diagnostics.size() && diagnostics[next].line == line)
            text += oneDiagnostic(project, diagnostics[next++], severity, source);
        ++line;
        return next < diagnostics.size();
    });
    // Places past the last line (none the build gives) still print.
    while (next < diagnostics.size()) text += oneDiagnostic(project, diagnostics[next++], severity, std::nullopt);
    return text;
}

}  // namespace lintrel
