#include "images/text_export.h"

namespace lintrel {

ImageOutcome writeTextExport(std::span<const std::string> lines, std::string_view /*platform*/) {
    ImageOutcome outcome;
    for (const std::string& line : lines) {
        outcome.bytes.insert(outcome.bytes.end(), line.begin(), line.end());
        outcome.bytes.push_back('\r');
        outcome.bytes.push_back('\n');
    }
    return outcome;
}

}  // namespace lintrel
