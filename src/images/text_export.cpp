#include "images/text_export.h"

#include "text/code_page_1250.h"

namespace lintrel {

ImageOutcome writeTextExport(std::span<const std::string> lines, std::string_view /*platform*/) {
    ImageOutcome outcome;
    appendLinesWithCrLf(lines, outcome.bytes);
    return outcome;
}

}  // namespace lintrel
