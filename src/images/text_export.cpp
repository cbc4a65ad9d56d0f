#include "images/text_export.h"

namespace lintrel {

ImageOutcome writeTextExport(std::span<const std::string> lines, std::string_view /*platform*/) {
    ImageOutcome outcome;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    outcome.bytes.reserve(size);
    for (const std::string& line : lines) {
        outcome.bytes.insert(outcome.bytes.end(), line.begin(), line.end());
        outcome.bytes.push_back('\r');
        outcome.bytes.push_back('\n');
    }
    return outcome;
}

}  // namespace lintrel
