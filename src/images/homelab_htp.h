// Homelab 2 and Homelab 3 tape image (.htp): one block that loads at 0x4016.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/readers.h"
#include "images/writers.h"

namespace lintrel {

// The two machines differ only in the system area of the header.
ImageOutcome writeHomelab2Image(const Program& program, std::string_view platform);
ImageOutcome writeHomelab3Image(const Program& program, std::string_view platform);

// The lines of a Homelab tape image: leader, A5, a name ending in 00, the
// block that loads at 4016 with its length and checksum, the program from
// 40A0 up to the end marker 80 60 at the address the block's 4018 holds.
// The platform is "HL2" or "HL3" when the header and system area are those
// Lintrel writes for that machine, else empty.
ImageReading readHomelabImage(std::span<const unsigned char> image);

}  // namespace lintrel
