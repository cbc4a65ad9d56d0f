// Primo program file (.pri): one block holding the program as it lies in
// memory from 0x43EA, then a closing byte.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/readers.h"
#include "images/writers.h"

namespace lintrel {

ImageOutcome writePrimoImage(const Program& program, std::string_view platform);

// The lines of a .pri file: the block D1 00 00, its length, the linked
// records from 43EA, the end link and the closing C9.
ImageReading readPrimoImage(std::span<const unsigned char> image);

}  // namespace lintrel
