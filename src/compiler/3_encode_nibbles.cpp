// Pass 3, HexEnCoding: every token literal becomes its nibble pair, in one
// scan. Literals cannot overlap and a pair holds neither braces nor digits, so
// one scan gives what 256 replace-alls in ascending order give.
#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void encodeNibbles(std::string_view in, std::string& out) {
    out.clear();
    out.reserve(in.size());
    appendNibbles(in, out);
}

void appendNibbles(std::string_view in, std::string& out) {
    std::size_t i = 0;
    while (i < in.size()) {
        // Copy the run up to the next brace at once; only braces start literals.
        const std::size_t brace = in.find('{', i);
        if (brace == std::string_view::npos) {
            out.append(in.substr(i));
            break;
        }
        out.append(in.substr(i, brace - i));
        i = brace;
        if (in.size() - i >= 4 && in[i + 3] == '}') {
            const int high = hexValue(static_cast<unsigned char>(in[i + 1]));
            const int low = hexValue(static_cast<unsigned char>(in[i + 2]));
            if (high >= 0 && low >= 0) {
                out += nibbleCharacter(static_cast<unsigned>(high));
                out += nibbleCharacter(static_cast<unsigned>(low));
                i += 4;
                continue;
            }
        }
        out += in[i];
        ++i;
    }
}

}  // namespace lintrel::passes
