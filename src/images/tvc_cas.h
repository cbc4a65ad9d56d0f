// TVC cassette image (.cas): a 128-byte file header, a 16-byte program header
// and length-prefixed line records, ended by a zero byte.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "images/readers.h"
#include "images/writers.h"

namespace lintrel {

ImageOutcome writeTvcImage(const Program& program, std::string_view platform);

// The lines of a TVC program cassette image: the file header with its block
// count, the program header with its length, the length-prefixed records and
// the end byte 00.
ImageReading readTvcImage(std::span<const unsigned char> image);

}  // namespace lintrel
