// An open document: the editor's UTF-8 text kept as the project's code page
// 1250 lines that the build reads, with positions converted between the
// editor's UTF-16 columns and the lines' byte columns.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::lsp {

// A place as the protocol gives it: 0-based line, UTF-16 code units into it.
struct Position {
    int line = 0;
    int character = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

struct Range {
    Position start;
    Position end;
    friend bool operator==(const Range&, const Range&) = default;
};

// A character of the text that code page 1250 has no byte for; the line
// holds "?" in its place, as the window's numbering does.
struct ForeignCharacter {
    int line = 0;
    int byteColumn = 0;
    Range range;  // in UTF-16 units
    char32_t codePoint = 0;
};

// The substitute for a character without a byte.
inline constexpr char kForeignByte = '?';

class Document {
public:
    Document() : Document(std::string_view{}) {}
    explicit Document(std::string_view utf8Text);

    // Replaces `range` (the whole text when nullopt) by `utf8Text`. A range
    // past the end is taken up to the end; the answer then says so.
    std::optional<std::string> applyChange(const std::optional<Range>& range, std::string_view utf8Text);

    // The lines as code page 1250 bytes: what the build reads.
    const std::vector<std::string>& lines() const { return lines_; }
    int lineCount() const { return static_cast<int>(lines_.size()); }
    bool hasForeignCharacters() const { return foreignLines_ > 0; }

    std::string utf8Line(int line) const;
    std::string utf8Text() const;  // lines joined with LF
    std::vector<ForeignCharacter> foreignCharacters() const;

    // Column conversions on one line; a column past the line's end is its end.
    int byteColumn(int line, int utf16Column) const;
    int utf16Column(int line, int byteColumn) const;
    int utf16Length(int line) const;
    // Whether the position names a line and a column on it.
    bool contains(Position position) const;

    int version = 0;

private:
    void replaceLines(int first, int last, std::string_view utf8Text);

    std::vector<std::string> lines_;
    // Row for row with lines_: the editor's text of a line that holds a
    // foreign character, else empty (the bytes say it all).
    std::vector<std::string> foreign_;
    int foreignLines_ = 0;
};

// Code page 1250 bytes from UTF-8; false when a character had no byte and
// became kForeignByte.
bool bytesFromUtf8(std::string_view utf8, std::string& bytes);

struct DecodedCharacter {
    char32_t codePoint = 0;
    int length = 1;  // bytes of UTF-8
};
// The character that starts at `at`; a malformed byte reads as U+FFFD of one byte.
DecodedCharacter decodeUtf8(std::string_view utf8, std::size_t at);

}  // namespace lintrel::lsp
