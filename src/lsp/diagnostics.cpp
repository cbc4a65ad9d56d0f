// Diagnostics: a document's build errors and warnings, placed in UTF-16 columns.
#include <cstdio>
#include <string>

#include "lsp/features.h"
#include "text/code_page_1250.h"

namespace lintrel::lsp {

namespace {

// Whether the window would show the character itself beside its code: not
// for controls, format characters, surrogates, private use or noncharacters.
bool isShown(char32_t c) {
    return !(c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
             (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xD800 && c <= 0xF8FF) ||
             (c >= 0xFFF9 && c <= 0xFFFB) || (c & 0xFFFE) == 0xFFFE || c >= 0xF0000);
}

std::string utf8Of(char32_t c) {
    std::string text;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

// "U+1F600", or "\"X\" (U+1F600)" for a character that can be shown, as the window words it.
std::string describeCharacter(char32_t c) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return isShown(c) ? "\"" + utf8Of(c) + "\" (" + hex + ")" : std::string(hex);
}

Json diagnosticJson(const Range& range, Severity severity, const std::string& utf8Message) {
    return {{"range", toJson(range)},
            {"severity", static_cast<int>(severity)},
            {"source", kDiagnosticSource},
            {"message", utf8Message}};
}

// A build diagnostic's place: its selection, or the whole line when it
// selects nothing; the document's start when no line applies.
Range placeOf(const Document& document, const Diagnostic& diagnostic) {
    if (diagnostic.line < 0 || diagnostic.line >= document.lineCount()) return {};
    const int line = diagnostic.line;
    if (!diagnostic.selects) return {{line, 0}, {line, document.utf16Length(line)}};
    return {{line, document.utf16Column(line, diagnostic.column)},
            {line, document.utf16Column(line, diagnostic.column + diagnostic.length)}};
}

Json foreignCharacterDiagnostics(const Document& document) {
    Json diagnostics = Json::array();
    for (const ForeignCharacter& foreign : document.foreignCharacters()) {
        diagnostics.push_back(diagnosticJson(foreign.range, Severity::Error, foreignCharacterMessage(foreign)));
    }
    return diagnostics;
}

}  // namespace

std::string foreignCharacterMessage(const ForeignCharacter& character) {
    return "The character " + describeCharacter(character.codePoint) + " in line " + std::to_string(character.line + 1) +
           " has no code in code page 1250.";
}

Json checkDocument(const Document& document, const BuildOptions& options) {
    if (document.hasForeignCharacters()) return foreignCharacterDiagnostics(document);
    Json diagnostics = Json::array();
    BuildResult result = build(document.lines(), options);
    result.program = {};  // the finished lines are not wanted; let them go before the JSON is made
    for (const Diagnostic& warning : result.warnings) {
        diagnostics.push_back(
            diagnosticJson(placeOf(document, warning), Severity::Warning, utf8FromCodePage1250(warning.message)));
    }
    if (result.warningCount > result.warnings.size()) {
        const Range last = result.warnings.empty() ? Range{} : placeOf(document, result.warnings.back());
        diagnostics.push_back(diagnosticJson(
            last, Severity::Information,
            "\u2026 and " + std::to_string(result.warningCount - result.warnings.size()) + " more warnings."));
    }
    if (result.error) {
        diagnostics.push_back(diagnosticJson(placeOf(document, *result.error), Severity::Error,
                                                     utf8FromCodePage1250(result.error->message)));
    }
    return diagnostics;
}

}  // namespace lintrel::lsp
