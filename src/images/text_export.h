// The numbered listing of "BASIC", "ABC80" and the project without a platform.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/writers.h"

namespace lintrel {

// Every line followed by CR LF, each byte unchanged; no lines, no bytes.
ImageOutcome writeTextExport(std::span<const std::string> lines, std::string_view platform);

}  // namespace lintrel
