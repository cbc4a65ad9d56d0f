// Primo program file (.pri): one block holding the program as it lies in
// memory from 0x43EA, then a closing byte.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

ImageOutcome writePrimoImage(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
