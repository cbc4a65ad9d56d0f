// Fuzz target: judging the update server's answer to the version question.
// Whatever the bytes, the verdict must follow from three plain facts about
// them: their length, the text inside the white space around them, and
// whether that text is ours.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "system/version_answer.h"
#include "require.h"

using lintrel::VersionAnswer;
using lintrel::fuzz::require;

namespace {

// Any printable version will do; this is the program's own.
constexpr std::string_view kOwnVersion = "v1.7.1b - test version";
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view inner(std::string_view text) {
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

bool holdsControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const VersionAnswer verdict = lintrel::judgeVersionAnswer(answer, kOwnVersion);
    const std::string_view text = inner(answer);
    const bool readable = size <= lintrel::kVersionAnswerLimit && !text.empty() && !holdsControl(text);

    require((verdict != VersionAnswer::Unavailable) == readable, "an answer judged against its length or bytes");
    require((verdict == VersionAnswer::Current) == (readable && text == kOwnVersion),
            "our version not told from another");
    if (!readable) return 0;

    // The text inside is a version of its own, and white space around it
    // changes nothing while the answer stays within the limit.
    require(lintrel::judgeVersionAnswer(answer, text) == VersionAnswer::Current, "an answer that is not its own version");
    const std::string padded = "\r\n " + std::string(text) + "\t\n";
    if (padded.size() <= lintrel::kVersionAnswerLimit) {
        require(lintrel::judgeVersionAnswer(padded, kOwnVersion) == verdict, "white space around changed the verdict");
    }
    return 0;
}
