#pragma once

#include <string_view>

namespace lintrel {

// Shown in the caption and About, compared with the update server's answer
// and stored in Options.ini.
inline constexpr std::string_view kProgramVersion = "v1.7.1b - test version";

}  // namespace lintrel
