#include "compiler/diagnostic_text.h"

#include <algorithm>
#include <optional>
#include <ostream>

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
// `caret` is where the caret goes in `source` when that is an excerpt.
std::string oneDiagnostic(std::string_view project, const Diagnostic& diagnostic, std::string_view severity,
                          std::optional<std::string_view> source, const Diagnostic* caret = nullptr) {
    std::string text(project);
    if (diagnostic.line >= 0)
        text += ':' + std::to_string(diagnostic.line + 1) + ':' + std::to_string(diagnostic.column + 1);
    text += ": ";
    text += severity;
    text += ": " + utf8FromCodePage1250(diagnostic.message) + '\n';
    if (!source) return text;
    text += utf8FromCodePage1250(*source) + '\n';
    text += caretLine(*source, caret != nullptr ? *caret : diagnostic) + '\n';
    return text;
}

// A long line shows only the stretch around the place, each cut marked
// with "…" (0x85 in code page 1250), so that many warnings on a 1 MB line
// print a little each. The column in the first line of the text stays the
// column in the whole line.
constexpr std::size_t kShownBefore = 60;
constexpr std::size_t kShownBytes = 160;

struct Excerpt {
    std::string text;
    Diagnostic placed;  // the caret's column and length in `text`
};

Excerpt excerptOf(std::string_view source, const Diagnostic& diagnostic) {
    Excerpt excerpt{std::string(), diagnostic};
    if (source.size() <= kShownBytes) {
        excerpt.text = source;
        return excerpt;
    }
    const auto column = static_cast<std::size_t>(std::max(diagnostic.column, 0));
    const std::size_t begin = std::min(column > kShownBefore ? column - kShownBefore : 0, source.size());
    const std::size_t end = std::min(source.size(), begin + kShownBytes);
    if (begin > 0) excerpt.text += '\x85';
    excerpt.text += source.substr(begin, end - begin);
    if (end < source.size()) excerpt.text += '\x85';
    const int shift = static_cast<int>(begin) - (begin > 0 ? 1 : 0);
    excerpt.placed.column = diagnostic.column - shift;
    const int room = static_cast<int>(excerpt.text.size()) - excerpt.placed.column;
    excerpt.placed.length = std::max(1, std::min(diagnostic.length, room));
    return excerpt;
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
            const Excerpt excerpt = excerptOf(source, diagnostic);
            out << oneDiagnostic(project, diagnostic, severity, std::string_view(excerpt.text), &excerpt.placed);
        }
        ++line;
        return next < diagnostics.size();
    });
    // Places past the last line (none the build gives) still print.
    while (next < diagnostics.size()) out << oneDiagnostic(project, diagnostics[next++], severity, std::nullopt);
}

}  // namespace lintrel
