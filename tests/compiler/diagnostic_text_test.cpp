// Diagnostics as the command line prints them.
#include <gtest/gtest.h>

#include <sstream>

#include "compiler/diagnostic_text.h"

namespace lintrel {
namespace {

TEST(DiagnosticText, PositionSourceLineAndCaret) {
    struct Row {
        Diagnostic diagnostic;
        std::string expected;
    };
    const std::string project = "&P=HL2\r\n\tA=1:\xE1\r\nPRINT\r&C=x y\n";
    const Row rows[] = {
        {{"\"x\" is not a valid integer value!", 3, 3, 1, true},
         "p.lpj:4:4: error: \"x\" is not a valid integer value!\n&C=x y\n   ^\n"},
        // TABs stay under the caret; code page 1250 becomes UTF-8.
        {{"The character \"\xE1\" (E1) has no code on HL2!", 1, 5, 1, true},
         "p.lpj:2:6: error: The character \"\xC3\xA1\" (E1) has no code on HL2!\n\tA=1:\xC3\xA1\n\t    ^\n"},
        {{"Bad", 0, 1, 4, true}, "p.lpj:1:2: error: Bad\n&P=HL2\n ^~~~\n"},
        {{"No line", -1, 0, 0, false}, "p.lpj: error: No line\n"},
        {{"Past the end", 9, 0, 0, false}, "p.lpj:10:1: error: Past the end\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(diagnosticText("p.lpj", row.diagnostic, project), row.expected) << row.diagnostic.message;
    }
}

// An ESC sequence in a project or a path would retitle or clear the terminal.
TEST(DiagnosticText, ControlCharactersReachTheTerminalEscaped) {
    struct Row {
        std::string path;
        std::string project;
        Diagnostic diagnostic;
        std::string expected;
    };
    const Row rows[] = {
        {"p\x1b]0;x\x07.lpj", "PRINT \"\x1b[2J\x7F\x81\x9B\"\r\n",
         {"The character \"\x1b\" (1B) has no code on HL2!", 0, 7, 1, true},
         "p\\x1b]0;x\\x07.lpj:1:8: error: The character \"\\x1b\" (1B) has no code on HL2!\n"
         "PRINT \"\\x1b[2J\\x7f\\x81\xE2\x80\xBA\"\n"
         "       ^~~~\n"},
        // Selected escapes are marked in full; TAB stays as it is.
        {"new\nline\xFF\xC2\x9B\xC3\xA1.lpj", "\tA\x01" "B\r\n", {"Bad", 0, 1, 3, true},
         "new\\x0aline\\xff\\x9b\xC3\xA1.lpj:1:2: error: Bad\n\tA\\x01B\n\t^~~~~~\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(diagnosticText(row.path, row.diagnostic, row.project), row.expected) << row.diagnostic.message;
    }
}

// A line of megabytes is shown as the 200 columns around the caret.
TEST(DiagnosticText, LongLinesAreCutAroundTheCaretWithAMarkAtEachCut) {
    const std::string a(1000, 'a'), b(1000, 'b'), ellipsis = "\xE2\x80\xA6";
    auto times = [](int n, const std::string& piece) {
        std::string out;
        for (int i = 0; i < n; ++i) out += piece;
        return out;
    };
    struct Row {
        std::string line;
        int column;
        int length;
        std::string text;
        std::string marks;
    };
    const Row rows[] = {
        {a.substr(0, 150) + "X" + b, 150, 3, ellipsis + a.substr(0, 98) + "X" + b.substr(0, 99) + ellipsis,
         " " + std::string(98, ' ') + "^~~"},
        {"X" + b, 0, 1, "X" + b.substr(0, 197) + ellipsis, "^"},
        {a + "X", 1000, 1, ellipsis + a.substr(0, 197) + "X", " " + std::string(197, ' ') + "^"},
        {a + "X", 1001, 1, ellipsis + a.substr(0, 197) + "X", " " + std::string(198, ' ') + "^"},
        {std::string(300, '\x1b'), 150, 1, ellipsis + times(49, "\\x1b") + ellipsis, " " + std::string(92, ' ') + "^~~~"},
        {std::string(200, 'c'), 5, 1, std::string(200, 'c'), "     ^"},
        {std::string(200, 'c'), 200, 1, ellipsis + std::string(198, 'c'), " " + std::string(198, ' ') + "^"},
    };
    for (const Row& row : rows) {
        const Diagnostic diagnostic{"Long", 1, row.column, row.length, true};
        EXPECT_EQ(diagnosticText("p.lpj", diagnostic, "&P=BASIC\r\n" + row.line + "\r\n"),
                  "p.lpj:2:" + std::to_string(row.column + 1) + ": error: Long\n" + row.text + "\n" + row.marks + "\n")
            << row.column;
    }
}

// Long lines are cut by the same echo as an error's (tested above).
TEST(DiagnosticText, ManyInOneWalk) {
    const std::string project = "&P=BASIC\r\nGOTO \\y\r\nAAAA\\x\r\n";
    const std::vector<Diagnostic> warnings = {
        {"First", 1, 5, 2, true},
        {"Second", 1, 5, 2, true},
        {"Far", 2, 4, 2, true},
    };
    std::ostringstream out;
    printDiagnostics(out, "p.lpj", warnings, "warning", project);
    EXPECT_EQ(out.str(), "p.lpj:2:6: warning: First\nGOTO \\y\n     ^~\n"
                         "p.lpj:2:6: warning: Second\nGOTO \\y\n     ^~\n"
                         "p.lpj:3:5: warning: Far\nAAAA\\x\n    ^~\n");
}

}  // namespace
}  // namespace lintrel
