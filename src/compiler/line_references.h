// Line-number references: the numbers after GOTO, GOSUB, THEN, ELSE,
// RESTORE, RUN, the lists of ON ... GOTO/GOSUB, and the machine's own (RESUME
// and numbers compared with ERL on the HT and the Primo). Found on a line as
// the machine stores it, so strings, remarks and DATA items are never read
// as references, or on text for the platforms that store text (and for text
// typed for any platform). The build warns with them; importing numbered
// programs turns them into labels.
//
// This interface is shared with the importer: keep its shape stable.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platforms/platforms.h"

namespace lintrel {

struct LineReference {
    std::size_t offset = 0;  // of the first digit (or of the "\"), in the bytes or text given
    std::size_t length = 0;  // digits (or the label's name with its "\")
    long long number = 0;    // the line named; kHugeLineNumber past 18 digits; 0 for a label
    bool isLabel = false;    // notation only: a "\name" stands where a number would
};

// A number too long to be any line's.
inline constexpr long long kHugeLineNumber = 999'999'999'999'999'999LL;

// How text is read.
enum class TextForm {
    Listing,   // a line as a numbered listing holds it, its number taken away
    Notation,  // a line of a Lintrel project: "|" ends it, a directive too,
               // "{XX}" is one unit, and a "\name" is a reference as well
};

// References in the bytes a line holds on the machine after its line number
// (a finished line decoded, or a line read from an image). On "BASIC",
// "ABC80" and the empty platform the line is text and is read as a listing.
std::vector<LineReference> findLineReferences(const Platform& platform, std::string_view stored);
// The same, into `found` (cleared first), for callers that go line by line.
void findLineReferences(const Platform& platform, std::string_view stored, std::vector<LineReference>& found);

// References in text with the platform's keywords written out, letter case
// ignored: outside double quotes, before a remark (REM; the apostrophe on the
// HT and the Primo and with no tokenizer; "!" on the TVC), skipping DATA
// items up to the next colon outside quotes.
std::vector<LineReference> findLineReferencesInText(const Platform& platform, std::string_view text,
                                                    TextForm form = TextForm::Listing);
void findLineReferencesInText(const Platform& platform, std::string_view text, TextForm form,
                              std::vector<LineReference>& found);

}  // namespace lintrel
