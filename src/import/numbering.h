// The "&C=" and "&I=" directives that make a build number a project's lines
// exactly as given. The build gives each line the current number and then
// adds the increment; "&C=" may not go below the number already reached, and
// the number after the last line must stay within the platform's limit.
#pragma once

#include <optional>
#include <vector>

namespace lintrel {

// What to write before one line; the first line's step holds the header's
// values, both always set.
struct NumberingStep {
    std::optional<long> line;       // "&C="
    std::optional<long> increment;  // "&I="
};

// `numbers` ascend strictly, the first is at least 1 and the last below
// `limit`. Keeps one increment over runs of equal gaps (starting with the
// most common gap), changes it before a line whose gap to the next is
// smaller, and sets the number directly where a gap is larger.
std::vector<NumberingStep> planNumbering(const std::vector<long>& numbers, long limit);

}  // namespace lintrel
