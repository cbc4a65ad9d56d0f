// The update server's answer to the version question, judged apart from the
// network (and without Qt), so any bytes a server may send can be tried on it.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintrel {

// The most bytes of the answer that are read; a longer answer names no version.
inline constexpr std::size_t kVersionAnswerLimit = 256;

enum class VersionAnswer {
    Unavailable,  // empty, longer than the limit, or holding control characters
    Current,      // our own version, once the white space around it is trimmed
    Other,        // some other version: the update is required
};

// answer: the bytes received. A reader stops after kVersionAnswerLimit + 1
// bytes; that one byte more already tells an answer that is too long.
VersionAnswer judgeVersionAnswer(std::string_view answer, std::string_view ownVersion);

}  // namespace lintrel
