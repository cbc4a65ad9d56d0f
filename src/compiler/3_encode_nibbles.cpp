// Pass 3, HexEnCoding: every token literal becomes its nibble pair, in one
// scan. Literals cannot overlap and a pair holds neither braces nor digits, so
// one scan gives what 256 replace-alls in ascending order give.
#include <algorithm>
#include <cstring>

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

// Written in place: a line never grows here (four characters of a literal
// become two), so the room is made once and trimmed at the end.
void appendNibbles(std::string_view in, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + in.size());
    char* write = out.data() + start;
    const char* read = in.data();
    const char* const end = read + in.size();
    while (read != end) {
        // Copy the run up to the next brace at once; only braces start literals.
        const char* brace = static_cast<const char*>(std::memchr(read, '{', static_cast<std::size_t>(end - read)));
        if (brace == nullptr) brace = end;
        write = std::copy(read, brace, write);
        read = brace;
        if (read == end) break;
        if (end - read >= 4 && read[3] == '}') {
            const int high = hexValue(static_cast<unsigned char>(read[1]));
            const int low = hexValue(static_cast<unsigned char>(read[2]));
            if (high >= 0 && low >= 0) {
                *write++ = nibbleCharacter(static_cast<unsigned>(high));
                *write++ = nibbleCharacter(static_cast<unsigned>(low));
                read += 4;
                continue;
            }
        }
        *write++ = *read++;
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
}

}  // namespace lintrel::passes
