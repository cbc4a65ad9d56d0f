#include "images/image_buffer.h"

#include <algorithm>
#include <cassert>

namespace lintrel {

void ImageBuffer::write(std::span<const unsigned char> bytes) {
    const std::size_t end = position_ + bytes.size();
    if (end > bytes_.size()) bytes_.resize(end);
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ = end;
}

void ImageBuffer::writeRepeated(unsigned char byte, std::size_t count) {
    const std::vector<unsigned char> run(count, byte);
    write(run);
}

void ImageBuffer::write8(std::int32_t value) {
    const unsigned char byte = static_cast<unsigned char>(static_cast<std::uint32_t>(value) & 0xFFu);
    write(std::span(&byte, 1));
}

void ImageBuffer::write16(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const unsigned char pair[2] = {static_cast<unsigned char>(bits & 0xFFu),
                                   static_cast<unsigned char>((bits >> 8) & 0xFFu)};
    write(pair);
}

void ImageBuffer::seek(std::size_t offset) {
    assert(offset <= bytes_.size());
    position_ = std::min(offset, bytes_.size());
}

std::vector<unsigned char> ImageBuffer::read(std::size_t count) {
    const std::size_t end = std::min(position_ + count, bytes_.size());
    std::vector<unsigned char> out(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
                                   bytes_.begin() + static_cast<std::ptrdiff_t>(end));
    position_ = end;
    return out;
}

}  // namespace lintrel
