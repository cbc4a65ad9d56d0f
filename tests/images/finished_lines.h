// Finished lines written by hand: each byte as its nibble pair.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace lintrel::testing {

inline std::string finished(const std::vector<unsigned char>& bytes) {
    std::string line;
    for (unsigned char b : bytes) {
        line += static_cast<char>(0x80 + (b >> 4));
        line += static_cast<char>(0x80 + (b & 15));
    }
    return line;
}

// A line of `count` bytes: the two line-number bytes as given, then filler.
inline std::string finishedOfSize(std::size_t count, unsigned char first, unsigned char second,
                                  unsigned char filler = 0x41) {
    std::vector<unsigned char> bytes(count, filler);
    if (count > 0) bytes[0] = first;
    if (count > 1) bytes[1] = second;
    return finished(bytes);
}

inline std::vector<unsigned char> slice(const std::vector<unsigned char>& bytes, std::size_t offset,
                                        std::size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

inline std::vector<unsigned char> tail(const std::vector<unsigned char>& bytes, std::size_t count) {
    return slice(bytes, bytes.size() - count, count);
}

using Bytes = std::vector<unsigned char>;

}  // namespace lintrel::testing
