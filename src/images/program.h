// A numbered program as a machine stores it: each line a number and the bytes
// that follow the number, every line's bytes back to back in one buffer. The
// build makes one, the image writers lay it out (each owns its number
// layout), the readers give one back and the import starts from one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lintrel {

class Program {
public:
    // What a line's origin counts: the project's (or a listing's) line, from
    // 0, or the file offset of an image's record.
    enum class Origin : std::uint8_t { Line, Offset };

    Program() = default;
    explicit Program(Origin origin) : origin_(origin) {}

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    long number(std::size_t line) const { return lines_[line].number; }
    std::span<const unsigned char> bytes(std::size_t line) const {
        const std::size_t begin = line == 0 ? 0 : lines_[line - 1].end;
        return {bytes_.data() + begin, lines_[line].end - begin};
    }
    // The same bytes as text: the lines of the text platforms are text.
    std::string_view text(std::size_t line) const {
        const auto view = bytes(line);
        return {reinterpret_cast<const char*>(view.data()), view.size()};
    }
    std::size_t origin(std::size_t line) const { return lines_[line].origin; }
    Origin originKind() const { return origin_; }
    // Every line's bytes, back to back.
    const std::vector<unsigned char>& allBytes() const { return bytes_; }

    void reserve(std::size_t lines, std::size_t bytes) {
        lines_.reserve(lines);
        bytes_.reserve(bytes);
    }
    // The bytes of the line being made are appended here, then endLine()
    // makes them a line.
    std::vector<unsigned char>& pending() { return bytes_; }
    std::span<const unsigned char> pendingBytes() const {
        const std::size_t begin = lines_.empty() ? 0 : lines_.back().end;
        return {bytes_.data() + begin, bytes_.size() - begin};
    }
    void dropPending() { bytes_.resize(lines_.empty() ? 0 : lines_.back().end); }
    void endLine(long number, std::size_t origin) {
        lines_.push_back({static_cast<std::int32_t>(number), static_cast<std::uint32_t>(origin), bytes_.size()});
    }
    void addLine(long number, std::span<const unsigned char> bytes, std::size_t origin) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        endLine(number, origin);
    }
    void addLine(long number, std::string_view text, std::size_t origin) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        endLine(number, origin);
    }
    void clear() {
        lines_.clear();
        bytes_.clear();
    }

private:
    // 16 bytes a line: a large project keeps millions of them.
    struct Line {
        std::int32_t number;
        std::uint32_t origin;
        std::size_t end;  // the line's bytes end here; they begin where the previous line's end
    };
    std::vector<Line> lines_;
    std::vector<unsigned char> bytes_;
    Origin origin_ = Origin::Line;
};

}  // namespace lintrel
