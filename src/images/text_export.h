// The numbered listings of "BASIC" and "ABC80", and the text of a project
// without a platform: each line as text, followed by CR LF, its bytes
// unchanged; no lines, no bytes.
#pragma once

#include <string_view>

#include "images/writers.h"

namespace lintrel {

// "10 PRINT": the number, a space, the line.
ImageOutcome writeSpacedListing(const Program& program, std::string_view platform);
// "10PRINT": the number and the line.
ImageOutcome writeListing(const Program& program, std::string_view platform);
// The lines alone: without "&P=" a line carries no number.
ImageOutcome writeUnnumberedText(const Program& program, std::string_view platform);

}  // namespace lintrel
