#include "compiler/diagnostic_text.h"

#include <optional>
#include <ostream>

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

// The first line of one diagnostic, then its source line, cut around the
// place, and the marks under it.
std::string oneDiagnostic(std::string_view project, const Diagnostic& diagnostic, std::string_view severity,
                          std::optional<std::string_view> source) {
    std::string text = escapeControls(project);
    if (diagnostic.line >= 0)
        text += ':' + std::to_string(diagnostic.line + 1) + ':' + std::to_string(diagnostic.column + 1);
    text += ": ";
    text += severity;
    text += ": " + escapeControls(utf8FromCodePage1250(diagnostic.message)) + '\n';
    if (!source) return text;
    const EchoedLine echoed = echoSourceLine(*source, diagnostic.column, diagnostic.length);
    text += echoed.text + '\n' + echoed.marks + '\n';
    return text;
}

}  // namespace

std::string diagnosticText(std::string_view project, const Diagnostic& diagnostic,
                           std::string_view projectBytes) {
    const auto source = diagnostic.line >= 0 ? projectLine(projectBytes, diagnostic.line) : std::nullopt;
    return oneDiagnostic(project, diagnostic, "error", source);
}

void printDiagnostics(std::ostream& out, std::string_view project, const std::vector<Diagnostic>& diagnostics,
                      std::string_view severity, std::string_view projectBytes) {
    std::size_t next = 0;
    // Those without a line first, as they sort; then one walk over the lines.
    while (next < diagnostics.size() && diagnostics[next].line < 0)
        out << oneDiagnostic(project, diagnostics[next++], severity, std::nullopt);
    int line = 0;
    forEachLine(projectBytes, [&](std::string_view source) {
        while (next < diagnostics.size() && diagnostics[next].line == line) {
            const Diagnostic& diagnostic = diagnostics[next++];
            out << oneDiagnostic(project, diagnostic, severity, source);
        }
        ++line;
        return next < diagnostics.size();
    });
    // Places past the last line (none the build gives) still print.
    while (next < diagnostics.size()) out << oneDiagnostic(project, diagnostics[next++], severity, std::nullopt);
}

}  // namespace lintrel
