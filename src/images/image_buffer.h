// A growable byte sequence with a current position, in which a byte image is
// assembled and then patched in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lintrel {

class ImageBuffer {
public:
    // Stores the bytes at the position, growing the buffer where they pass its
    // end, and advances the position.
    void write(std::span<const unsigned char> bytes);
    void writeRepeated(unsigned char byte, std::size_t count);
    // Numbers come from 32-bit integers; a field keeps only its low bits,
    // low byte first, as the machines read them.
    void write8(std::int32_t value);
    void write16(std::int32_t value);

    // Any offset inside the buffer or just past its end.
    void seek(std::size_t offset);
    std::vector<unsigned char> read(std::size_t count);

    std::size_t position() const { return position_; }
    std::size_t size() const { return bytes_.size(); }
    const std::vector<unsigned char>& bytes() const { return bytes_; }
    std::vector<unsigned char> take() { return std::move(bytes_); }

private:
    std::vector<unsigned char> bytes_;
    std::size_t position_ = 0;
};

}  // namespace lintrel
