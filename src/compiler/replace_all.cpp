// Text helpers shared by the passes: letter-case-blind comparison and
// replace-all as every whole-text pass of the build defines it.
#include <cstdio>

#include "compiler/passes.h"

namespace lintrel::passes {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(static_cast<unsigned char>(a[i])) != upperAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

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

std::string tokenLiteral(unsigned value) {
    char text[5];
    std::snprintf(text, sizeof text, "{%02X}", value & 0xFFu);
    return std::string(text, 4);
}

}  // namespace lintrel::passes
