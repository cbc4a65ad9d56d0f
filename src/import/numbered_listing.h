// Numbered text listings ("10 PRINT "HI"", one line each) read as the
// machines' editors read a typed line: the line number (leading zeros
// allowed), one space after it dropped, the rest kept as typed, in Lintrel's
// notation (so that a listing Lintrel wrote reads back as it was). On the
// platforms with a tokenizer each line is then stored as the machine stores
// it.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "import/program.h"

namespace lintrel {

struct ListingReading {
    NumberedProgram program;
    std::vector<ImportMessage> warnings;  // what --lenient changed
    std::optional<ImportMessage> error;
};

// Strictly, a line without a number, a number that does not follow the one
// before and a number without text are errors. Leniently, a line without a
// number continues the line before, a repeated number replaces the earlier
// line, a number alone deletes its line, and the lines are put in order; each
// change is a warning.
ListingReading readNumberedListing(std::string_view text, const Platform& platform, bool lenient);

}  // namespace lintrel
