// Homelab 2 and Homelab 3 tape image (.htp): one block that loads at 0x4016.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

// `platform` is "HL2" or "HL3" and picks the header template.
ImageOutcome writeHomelabImage(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
