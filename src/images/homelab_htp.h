// Homelab 2 and Homelab 3 tape image (.htp): one block that loads at 0x4016.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

// The two machines differ only in the system area of the header.
ImageOutcome writeHomelab2Image(std::span<const std::string> lines, std::string_view platform);
ImageOutcome writeHomelab3Image(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
