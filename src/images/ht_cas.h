// HT-1080Z cassette image (.cas): leader, a short header and the program as it
// lies in memory from 0x42E9, ended by a zero link.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

ImageOutcome writeHtImage(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
