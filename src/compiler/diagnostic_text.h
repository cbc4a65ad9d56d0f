// A diagnostic as a command-line compiler prints it, so every message the
// build gives reaches the terminal in one form.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"

namespace lintrel {

// "PROJECT:LINE:COLUMN: error: MESSAGE" (":LINE:COLUMN" only where a line
// applies), then the source line and a caret under the column, a tilde under
// each further selected character. Lines and columns count from 1; message
// and source line go from code page 1250 to UTF-8; each line ends with "\n".
// Control characters in the path, message and line are shown as "\x1b"
// escapes, and the source line is cut to 200 columns around the caret.
// `projectBytes` are the project file's bytes, split as the build splits them.
std::string diagnosticText(std::string_view project, const Diagnostic& diagnostic,
                           std::string_view projectBytes);

// The same for many, sorted by place, as "SEVERITY" ("warning", "error"),
// written out one by one with one walk over the project bytes. A source line
// longer than 160 bytes is shown around the place only, cuts marked "…".
void printDiagnostics(std::ostream& out, std::string_view project, const std::vector<Diagnostic>& diagnostics,
                      std::string_view severity, std::string_view projectBytes);

}  // namespace lintrel
