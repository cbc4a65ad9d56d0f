// TVC cassette image (.cas): a 128-byte file header, a 16-byte program header
// and length-prefixed line records, ended by a zero byte.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

ImageOutcome writeTvcImage(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
