// HT-1080Z cassette image (.cas): leader, a short header and the program as it
// lies in memory from 0x42E9, ended by a zero link.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/readers.h"
#include "images/writers.h"

namespace lintrel {

ImageOutcome writeHtImage(const Program& program, std::string_view platform);

// The lines of a BASIC cassette image: a leader of any length, A5, D3 D3 D3,
// a one-byte name, the linked records from 42E9 and the end link 00 00, as
// Lintrel and other tools write it; zero padding may follow.
ImageReading readHtImage(std::span<const unsigned char> image);

}  // namespace lintrel
