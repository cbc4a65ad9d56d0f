#include "import/numbering.h"

#include <map>

namespace lintrel {
namespace {

long mostCommonGap(const std::vector<long>& numbers) {
    std::map<long, int> counts;
    long best = 1;
    int bestCount = 0;
    for (std::size_t j = 1; j < numbers.size(); ++j) {
        const long gap = numbers[j] - numbers[j - 1];
        if (++counts[gap] > bestCount) {
            best = gap;
            bestCount = counts[gap];
        }
    }
    return best;
}

// The increment in force when line j is numbered, given the one before it.
long chooseIncrement(const std::vector<long>& numbers, std::size_t j, long increment, long limit) {
    if (j + 1 == numbers.size()) return numbers[j] + increment <= limit ? increment : limit - numbers[j];
    const long gap = numbers[j + 1] - numbers[j];
    if (increment > gap) return gap;  // the next line could not be reached
    if (increment == gap) return increment;
    // A run of equal gaps ahead is worth one "&I="; a single larger gap is
    // bridged by one "&C=".
    const bool runAhead = j + 2 < numbers.size() && numbers[j + 2] - numbers[j + 1] == gap;
    return runAhead ? gap : increment;
}

}  // namespace

std::vector<NumberingStep> planNumbering(const std::vector<long>& numbers, long limit) {
    std::vector<NumberingStep> steps(numbers.size());
    long increment = mostCommonGap(numbers);
    long next = 0;  // the number the build gives the next line
    for (std::size_t j = 0; j < numbers.size(); ++j) {
        const long chosen = chooseIncrement(numbers, j, increment, limit);
        if (j == 0 || numbers[j] != next) steps[j].line = numbers[j];
        if (j == 0 || chosen != increment) steps[j].increment = chosen;
        increment = chosen;
        next = numbers[j] + increment;
    }
    return steps;
}

}  // namespace lintrel
