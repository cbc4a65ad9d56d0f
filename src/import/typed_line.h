// A line of program text stored as the machine's editor stores a typed line:
// the passes a build runs over one line, without its number and without
// labels. The listing checks its text with it; numbered text listings are
// read with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"
#include "platforms/platforms.h"

namespace lintrel {

class TypedLineReader {
public:
    // One of the five platforms with a tokenizer.
    explicit TypedLineReader(const Platform& platform);

    // The stored bytes after the line number; empty when the text makes no
    // program line (only a comment, TABs, or spaces that are dropped). Spaces
    // outside strings are kept, as the machine keeps them. The error, when
    // there is one, names a column of `text` (a character without a code, a
    // directive, which has no place in one line's text).
    std::optional<Diagnostic> read(std::string_view text, std::vector<unsigned char>& bytes);

private:
    const Platform& platform_;
};

}  // namespace lintrel
