// Names for the labels an import gives its target lines: a remark names the
// label ("DRAW BOARD" -> "draw_board"); where none does, the line number does
// ("l1000"). Names are unique within the project. A defined label's name is
// program text as written, so a word such as REM or DATA inside it is kept.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lintrel {

inline constexpr std::size_t kLongestLabelName = 24;  // without the "\"

// Lower case letters, digits and "_" from a remark's text (Hungarian accented
// letters lose their accents, anything else separates words), at most 24
// characters; empty when the remark has no letter or digit.
std::string nameFromRemark(std::string_view remark);

// The name for a line that no remark names: "l1000".
std::string nameFromNumber(long number);

// Names handed out so far, compared without letter case as labels are.
class LabelNames {
public:
    // `wanted`, or the first of wanted_2, wanted_3, ... that is free (cut to
    // stay within 24 characters).
    std::string claim(const std::string& wanted);
    bool taken(std::string_view name) const;

private:
    std::set<std::string> names_;  // lower case
    // Per wanted name (lower case), the suffix to try next: the ones before
    // it are taken for good, so many lines named alike cost no rescans.
    std::unordered_map<std::string, int> nextSuffix_;
};

}  // namespace lintrel
