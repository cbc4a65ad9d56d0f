#include "system/version_answer.h"

#include <algorithm>

namespace lintrel {

namespace {

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Bytes that would act on a terminal or a log rather than show as text.
bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

VersionAnswer judgeVersionAnswer(std::string_view answer, std::string_view ownVersion) {
    if (answer.size() > kVersionAnswerLimit) return VersionAnswer::Unavailable;
    const std::string_view version = trimmed(answer);
    if (version.empty() || std::any_of(version.begin(), version.end(), isControl)) {
        return VersionAnswer::Unavailable;
    }
    return version == ownVersion ? VersionAnswer::Current : VersionAnswer::Other;
}

}  // namespace lintrel
