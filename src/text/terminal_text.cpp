#include "text/terminal_text.h"

#include <algorithm>

#include "text/code_page_1250.h"

namespace lintrel {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // "…", one column wide
constexpr int kEscapeColumns = 4;                        // "\x1b"

bool isControl(char32_t character) {
    return (character < 0x20 && character != '\t') || (character >= 0x7F && character <= 0x9F);
}

void appendEscape(std::string& out, char32_t character) {
    constexpr std::string_view kHex = "0123456789abcdef";
    out += "\\x";
    out += kHex[(character >> 4) & 0xF];
    out += kHex[character & 0xF];
}

// The length of the valid UTF-8 sequence that `text` starts with; 0 when it
// starts with none. The second byte's range rules out overlong forms,
// surrogates and values past U+10FFFF.
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
    const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

char32_t characterOf(char byte) { return codePage1250ToUnicode(static_cast<unsigned char>(byte)); }

int columnsOf(char byte) { return isControl(characterOf(byte)) ? kEscapeColumns : 1; }

// The bytes [first, end) of a line that are shown.
struct Span {
    std::size_t first = 0;
    std::size_t end = 0;
};

// Room is kept for both "…" marks; half of the rest goes left of the caret,
// then the right takes what it can and gives any left over back to the left.
Span visibleSpan(std::string_view line, std::size_t caret, int width) {
    long long total = caret == line.size() ? 1 : 0;  // a caret past the end takes a column of its own
    for (char byte : line) total += columnsOf(byte);
    if (total <= width) return {0, line.size()};
    const int room = width - 2;  // one column for each "…"
    Span span{caret, caret};
    int used = 0;
    if (span.end < line.size()) used += columnsOf(line[span.end++]);
    const auto growLeft = [&](int limit) {
        while (span.first > 0 && used + columnsOf(line[span.first - 1]) <= limit) used += columnsOf(line[--span.first]);
    };
    growLeft(room / 2);
    while (span.end < line.size() && used + columnsOf(line[span.end]) <= room) used += columnsOf(line[span.end++]);
    growLeft(room);
    return span;
}

void appendShown(std::string& out, char byte) {
    const char32_t character = characterOf(byte);
    if (isControl(character)) {
        appendEscape(out, character);
    } else {
        out += utf8FromCodePage1250(std::string_view(&byte, 1));
    }
}

}  // namespace

std::string escapeControls(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const std::size_t length = sequenceLength(utf8);
        const auto lead = static_cast<unsigned char>(utf8[0]);
        if (length == 0) {
            appendEscape(out, lead);
            utf8.remove_prefix(1);
            continue;
        }
        const auto second = length > 1 ? static_cast<unsigned char>(utf8[1]) : 0u;
        const char32_t character = length == 1 ? lead : (lead == 0xC2 ? second : 0xA0);  // only C2 xx can be C1
        if (isControl(character)) {
            appendEscape(out, character);
        } else {
            out += utf8.substr(0, length);
        }
        utf8.remove_prefix(length);
    }
    return out;
}

EchoedLine echoSourceLine(std::string_view line, int column, int length, int width) {
    const std::size_t caret = std::min(static_cast<std::size_t>(std::max(column, 0)), line.size());
    const Span span = visibleSpan(line, caret, width);
    EchoedLine echoed;
    if (span.first > 0) {
        echoed.text += kEllipsis;
        echoed.marks += ' ';
    }
    for (std::size_t i = span.first; i < span.end; ++i) appendShown(echoed.text, line[i]);
    if (span.end < line.size()) echoed.text += kEllipsis;

    for (std::size_t i = span.first; i < caret; ++i) {
        if (line[i] == '\t') echoed.marks += '\t';
        else echoed.marks.append(static_cast<std::size_t>(columnsOf(line[i])), ' ');
    }
    echoed.marks += '^';
    if (caret < line.size()) echoed.marks.append(static_cast<std::size_t>(columnsOf(line[caret]) - 1), '~');
    const std::size_t selectionEnd = caret + static_cast<std::size_t>(std::max(length, 1));
    for (std::size_t i = caret + 1; i < selectionEnd && i < span.end; ++i)
        echoed.marks.append(static_cast<std::size_t>(columnsOf(line[i])), '~');
    return echoed;
}

}  // namespace lintrel
