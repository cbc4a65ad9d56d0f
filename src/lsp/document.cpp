#include "lsp/document.h"

#include <algorithm>

#include "text/code_page_1250.h"

namespace lintrel::lsp {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

int utf16Units(char32_t codePoint) { return codePoint >= 0x10000 ? 2 : 1; }

// The editor's lines: split at CR LF, LF or a lone CR; text that ends in a
// break has an empty last line, as the protocol counts lines.
std::vector<std::string_view> splitText(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// The byte offset into a UTF-8 line of a UTF-16 column; a column inside a
// surrogate pair or past the end stops before the character.
std::size_t utf8Offset(std::string_view utf8, int utf16Column) {
    std::size_t at = 0;
    int column = 0;
    while (at < utf8.size()) {
        const DecodedCharacter character = decodeUtf8(utf8, at);
        column += utf16Units(character.codePoint);
        if (column > utf16Column) break;
        at += static_cast<std::size_t>(character.length);
    }
    return at;
}

std::string describePosition(Position position) {
    return std::to_string(position.line + 1) + ":" + std::to_string(position.character + 1);
}

}  // namespace

DecodedCharacter decodeUtf8(std::string_view utf8, std::size_t at) {
    const auto byte = [&utf8](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    int length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return {kReplacement, 1};
    }
    if (at + static_cast<std::size_t>(length) > utf8.size()) return {kReplacement, 1};
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) return {kReplacement, 1};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return {kReplacement, 1};
    }
    return {codePoint, length};
}

bool bytesFromUtf8(std::string_view utf8, std::string& bytes) {
    bytes.clear();
    bytes.reserve(utf8.size());
    bool complete = true;
    for (std::size_t at = 0; at < utf8.size();) {
        // ASCII is the same in both, and most of any program.
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            bytes += utf8[at++];
            continue;
        }
        const DecodedCharacter character = decodeUtf8(utf8, at);
        at += static_cast<std::size_t>(character.length);
        const auto mapped = unicodeToCodePage1250(character.codePoint);
        bytes += mapped ? static_cast<char>(*mapped) : kForeignByte;
        complete = complete && mapped.has_value();
    }
    return complete;
}

Document::Document(std::string_view utf8Text) {
    lines_.emplace_back();
    foreign_.emplace_back();
    replaceLines(0, 0, utf8Text);
}

void Document::replaceLines(int first, int last, std::string_view utf8Text) {
    const std::vector<std::string_view> pieces = splitText(utf8Text);
    std::vector<std::string> lines(pieces.size()), foreign(pieces.size());
    int foreignLines = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!bytesFromUtf8(pieces[i], lines[i])) {
            foreign[i] = pieces[i];
            ++foreignLines;
        }
    }
    for (int line = first; line <= last; ++line) foreignLines_ -= foreign_[line].empty() ? 0 : 1;
    foreignLines_ += foreignLines;
    const auto replace = [first, last](std::vector<std::string>& into, std::vector<std::string>& from) {
        const auto begin = into.begin() + first;
        const std::size_t kept = std::min(from.size(), static_cast<std::size_t>(last - first + 1));
        std::move(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(kept), begin);
        if (kept < from.size()) {
            into.insert(begin + static_cast<std::ptrdiff_t>(kept),
                        std::make_move_iterator(from.begin() + static_cast<std::ptrdiff_t>(kept)),
                        std::make_move_iterator(from.end()));
        } else {
            into.erase(begin + static_cast<std::ptrdiff_t>(kept), into.begin() + last + 1);
        }
    };
    replace(lines_, lines);
    replace(foreign_, foreign);
}

std::optional<std::string> Document::applyChange(const std::optional<Range>& range, std::string_view utf8Text) {
    if (!range) {
        const int kept = version;
        *this = Document(utf8Text);
        version = kept;
        return std::nullopt;
    }
    std::optional<std::string> problem;
    Position start = range->start, end = range->end;
    if (!contains(start) || !contains(end)) {
        problem = "a change at " + describePosition(start) + "-" + describePosition(end) + " reaches past the end of " +
                  "the document (" + std::to_string(lineCount()) + " lines); taken up to its end";
    }
    const auto clamp = [this](Position& position) {
        if (position.line < 0) position = {0, 0};
        if (position.line >= lineCount()) position = {lineCount() - 1, utf16Length(lineCount() - 1)};
        position.character = std::clamp(position.character, 0, utf16Length(position.line));
    };
    clamp(start);
    clamp(end);
    if (end.line < start.line || (end.line == start.line && end.character < start.character)) std::swap(start, end);
    const std::string first = utf8Line(start.line);
    const std::string last = end.line == start.line ? first : utf8Line(end.line);
    std::string joined = first.substr(0, utf8Offset(first, start.character));
    joined.append(utf8Text);
    joined.append(std::string_view(last).substr(utf8Offset(last, end.character)));
    replaceLines(start.line, end.line, joined);
    return problem;
}

std::string Document::utf8Line(int line) const {
    const std::size_t row = static_cast<std::size_t>(line);
    return foreign_[row].empty() ? utf8FromCodePage1250(lines_[row]) : foreign_[row];
}

std::string Document::utf8Text() const {
    std::string text;
    for (int line = 0; line < lineCount(); ++line) {
        if (line > 0) text += '\n';
        text += utf8Line(line);
    }
    return text;
}

std::vector<ForeignCharacter> Document::foreignCharacters() const {
    std::vector<ForeignCharacter> found;
    if (foreignLines_ == 0) return found;
    for (int line = 0; line < lineCount(); ++line) {
        const std::string& utf8 = foreign_[static_cast<std::size_t>(line)];
        int byteColumn = 0, column = 0;
        for (std::size_t at = 0; at < utf8.size(); ++byteColumn) {
            const DecodedCharacter character = decodeUtf8(utf8, at);
            at += static_cast<std::size_t>(character.length);
            const int units = utf16Units(character.codePoint);
            if (!unicodeToCodePage1250(character.codePoint)) {
                found.push_back({line, byteColumn, {{line, column}, {line, column + units}}, character.codePoint});
            }
            column += units;
        }
    }
    return found;
}

// Every byte of the code page is one character of the basic plane, so on a
// line without foreign characters the two columns are the same.
int Document::byteColumn(int line, int utf16Column) const {
    const std::size_t row = static_cast<std::size_t>(line);
    if (foreign_[row].empty()) return std::clamp(utf16Column, 0, static_cast<int>(lines_[row].size()));
    int bytes = 0, column = 0;
    const std::string& utf8 = foreign_[row];
    for (std::size_t at = 0; at < utf8.size(); ++bytes) {
        const DecodedCharacter character = decodeUtf8(utf8, at);
        column += utf16Units(character.codePoint);
        if (column > utf16Column) break;
        at += static_cast<std::size_t>(character.length);
    }
    return bytes;
}

int Document::utf16Column(int line, int byteColumn) const {
    const std::size_t row = static_cast<std::size_t>(line);
    if (foreign_[row].empty()) return std::clamp(byteColumn, 0, static_cast<int>(lines_[row].size()));
    int bytes = 0, column = 0;
    const std::string& utf8 = foreign_[row];
    for (std::size_t at = 0; at < utf8.size() && bytes < byteColumn; ++bytes) {
        const DecodedCharacter character = decodeUtf8(utf8, at);
        column += utf16Units(character.codePoint);
        at += static_cast<std::size_t>(character.length);
    }
    return column;
}

int Document::utf16Length(int line) const { return utf16Column(line, static_cast<int>(lines_[static_cast<std::size_t>(line)].size())); }

bool Document::contains(Position position) const {
    return position.line >= 0 && position.line < lineCount() && position.character >= 0 &&
           position.character <= utf16Length(position.line);
}

}  // namespace lintrel::lsp
