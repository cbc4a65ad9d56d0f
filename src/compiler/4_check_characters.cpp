// Pass 4: a character that reaches a finished line without a code would
// corrupt every later byte of its line on the machine, so it stops the build.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "compiler/tokenizer.h"

namespace lintrel::passes {
namespace {

struct Candidate {
    unsigned char character = 0;
    std::size_t column = 0;
    bool found = true;  // false: not in the scanned text; nothing to select
};

// Earlier in source order; a character that cannot be found counts as column
// 0, after a found character at column 0.
bool comesBefore(const Candidate& a, const Candidate& b) {
    if (a.column != b.column) return a.column < b.column;
    return a.found && !b.found;
}

Diagnostic describe(const Candidate& candidate, const Platform& platform, int lineIndex) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", candidate.character);
    std::string message = "The character \"";
    message += static_cast<char>(candidate.character);
    message += "\" (";
    message += hex;
    message += ") has no code on ";
    message += platform.id;
    message += "!";
    if (!candidate.found) return Diagnostic{std::move(message), lineIndex, 0, 0, false};
    return Diagnostic{std::move(message), lineIndex, static_cast<int>(candidate.column), 1, true};
}

}  // namespace

std::optional<Diagnostic> checkCharacters(const Platform& platform, const Untranslated& untranslated,
                                          std::string_view source, const AssembledLine& assembled,
                                          int lineIndex) {
    if (!assembled.firstCodeRangeByte && untranslated.empty()) return std::nullopt;
    std::optional<Candidate> first;
    auto consider = [&](const Candidate& candidate) {
        if (!first || comesBefore(candidate, *first)) first = candidate;
    };
    if (assembled.firstCodeRangeByte) {
        const std::size_t at = *assembled.firstCodeRangeByte;
        consider({static_cast<unsigned char>(source[at]), at, true});
    }
    const std::size_t begin = std::min(assembled.scanBegin, assembled.scanEnd);
    const std::string_view scanned = source.substr(begin, assembled.scanEnd - begin);
    for (const char c : untranslated.inOrder()) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const std::size_t at = scanned.find(c);
        if (at == std::string_view::npos) {
            consider({byte, 0, false});
        } else {
            consider({byte, begin + at, true});
        }
    }
    if (!first) return std::nullopt;
    return describe(*first, platform, lineIndex);
}

}  // namespace lintrel::passes
