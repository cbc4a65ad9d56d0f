// Replace-all as every whole-text pass of the build defines it.
#include "compiler/labels.h"
#include "text/ascii.h"

namespace lintrel::passes {

void replaceAll(std::string_view text, std::string_view pattern, std::string_view replacement,
                std::string& out) {
    out.clear();
    if (pattern.empty() || pattern.size() > text.size()) {
        out.assign(text);
        return;
    }
    const unsigned char first = upperAscii(static_cast<unsigned char>(pattern[0]));
    std::size_t i = 0;
    const std::size_t last = text.size() - pattern.size();
    while (i < text.size()) {
        if (i <= last && upperAscii(static_cast<unsigned char>(text[i])) == first &&
            equalsIgnoringCase(text.substr(i, pattern.size()), pattern)) {
            out += replacement;
            i += pattern.size();
        } else {
            out += text[i];
            ++i;
        }
    }
}

}  // namespace lintrel::passes
