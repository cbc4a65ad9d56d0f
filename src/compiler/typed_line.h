// One line of program text as the machine's editor stores a typed line: the
// passes a build runs over one line, without its number and without labels.
// The import reads numbered listings with it and checks its listings by it.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "compiler/diagnostic.h"
#include "platforms/platforms.h"

namespace lintrel {

// The bytes after the line number into `bytes` (none when the text makes no
// program line: only a comment, TABs, or spaces that are dropped). Spaces
// outside strings are kept, as the machine keeps them. The error names a
// column of `text`: a character without a code, or a directive, which has no
// place in one line's text. `platform` is one of the five with a tokenizer.
std::optional<Diagnostic> compileTypedLine(const Platform& platform, std::string_view text,
                                           std::vector<unsigned char>& bytes);

}  // namespace lintrel
