// Names for the labels an import gives its target lines: a remark names the
// label ("DRAW BOARD" -> "draw_board"); where none does, the line number does
// ("l1000"). Names are unique within the project and never hold the letters
// the line assembler reads specially on the platform.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "platforms/platforms.h"

namespace lintrel {

inline constexpr std::size_t kLongestLabelName = 24;  // without the "\"

// Lower case letters, digits and "_" from a remark's text (Hungarian accented
// letters lose their accents, anything else separates words), at most 24
// characters, with REM (and DATA where DATA items are kept as typed) broken
// by a "_"; empty when the remark has no letter or digit.
std::string nameFromRemark(std::string_view remark, const Platform& platform);

// The name for a line that no remark names: "l1000".
std::string nameFromNumber(long number);

// Whether the assembler would read `text` (a name, perhaps with the text that
// follows it) as starting a remark or DATA items somewhere in its first
// `within` characters.
bool holdsModeWord(std::string_view text, std::size_t within, const Platform& platform);

// Names handed out so far, compared without letter case as labels are.
class LabelNames {
public:
    // `wanted`, or the first of wanted_2, wanted_3, ... that is free (cut to
    // stay within 24 characters).
    std::string claim(const std::string& wanted);
    bool taken(std::string_view name) const;

private:
    std::set<std::string> names_;  // lower case
};

}  // namespace lintrel
