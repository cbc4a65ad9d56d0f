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

TEST(DiagnosticText, ManyInOneWalkWithLongLinesShownAroundThePlace) {
    const std::string longLine = std::string(100, 'A') + "\\x" + std::string(200, 'B');
    const std::string project = "&P=BASIC\r\nGOTO \\y\r\n" + longLine + "\r\n";
    const std::vector<Diagnostic> warnings = {
        {"First", 1, 5, 2, true},
        {"Second", 1, 5, 2, true},
        {"Far", 2, 100, 2, true},
    };
    std::ostringstream out;
    printDiagnostics(out, "p.lpj", warnings, "warning", project);
    const std::string excerpt = "\xE2\x80\xA6" + std::string(60, 'A') + "\\x" + std::string(98, 'B') + "\xE2\x80\xA6";
    EXPECT_EQ(out.str(), "p.lpj:2:6: warning: First\nGOTO \\y\n     ^~\n"
                         "p.lpj:2:6: warning: Second\nGOTO \\y\n     ^~\n"
                         "p.lpj:3:101: warning: Far\n" + excerpt + "\n" + std::string(61, ' ') + "^~\n");
}

}  // namespace
}  // namespace lintrel
