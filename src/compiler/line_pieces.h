// A program line between the line assembler and the tokenizer: pieces of
// text still to tokenize and pieces of bytes already final (the characters of
// strings and remarks through the table, an apostrophe remark's code), back
// to back. Bytes once made are never read as text again, so no keyword can
// match across them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::passes {

class LinePieces {
public:
    void clear() {
        data_.clear();
        starts_.clear();
        final_ = false;
    }
    bool empty() const { return data_.empty(); }

    void text(char c) {
        if (final_) flip();
        data_ += c;
    }
    void text(std::string_view run) {
        if (final_) flip();
        data_.append(run);
    }
    void bytes(std::string_view run) {
        if (!final_) flip();
        data_.append(run);
    }
    // For writers that fill the buffer in place: the piece in progress is
    // made the kind asked for first.
    std::string& textBuffer() {
        if (final_) flip();
        return data_;
    }
    std::string& bytesBuffer() {
        if (!final_) flip();
        return data_;
    }

    // Pieces alternate: text, bytes, text, ... (the first may be empty).
    std::size_t count() const { return starts_.size() + 1; }
    static bool isFinal(std::size_t piece) { return piece % 2 == 1; }
    std::string_view piece(std::size_t k) const {
        const std::size_t begin = k == 0 ? 0 : starts_[k - 1];
        const std::size_t end = k < starts_.size() ? starts_[k] : data_.size();
        return std::string_view(data_).substr(begin, end - begin);
    }
    bool allText() const { return starts_.empty(); }
    const std::string& data() const { return data_; }

private:
    // A piece left empty is taken back, so that two pieces of one kind never
    // stand side by side.
    void flip() {
        if (!starts_.empty() && starts_.back() == data_.size()) {
            starts_.pop_back();
        } else {
            starts_.push_back(static_cast<std::uint32_t>(data_.size()));
        }
        final_ = !final_;
    }

    std::string data_;
    std::vector<std::uint32_t> starts_;  // where each piece after the first begins
    bool final_ = false;
};

}  // namespace lintrel::passes
