// Unnumbering: a numbered program becomes a Lintrel project. Every
// line-number reference becomes a label reference and its target line gets
// the label; "&C=" and "&I=" make the build give exactly the original
// numbers, or the lines are numbered afresh. The project is built again
// before it is handed out, and must give the program's own lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/program.h"

namespace lintrel {

struct Renumbering {
    long start = 10;
    long step = 10;
};

struct UnnumberOptions {
    std::optional<Renumbering> renumber;
    std::string sourceName;  // named in the project's first comment; may be empty
};

struct ImportedProject {
    std::string text;  // code page 1250, CR LF after every line
    std::vector<ImportMessage> warnings;
    std::optional<ImportMessage> error;  // nothing in `text` then
    // The program has spaces outside strings, remarks and DATA items: it
    // builds to the same bytes with space removal off.
    bool keepsSpaces = false;
    int labels = 0;
    bool ok() const { return !error.has_value(); }
};

ImportedProject unnumber(const NumberedProgram& program, const UnnumberOptions& options);

// Whether `projectText` builds (spaces kept) to `program`: its numbers (or
// those of `renumber`) and, line for line, its bytes (on the text platforms
// its text), but on the lines `renumberedReferences` marks; and whether the
// program fits the machine's image. Otherwise the error, at the program
// line's place in its input.
std::optional<ImportMessage> checkBuildsBack(const NumberedProgram& program, std::string_view projectText,
                                             const std::optional<Renumbering>& renumber = std::nullopt,
                                             const std::vector<char>& renumberedReferences = {});

}  // namespace lintrel
