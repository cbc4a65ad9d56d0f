// Fuzz target: the diagnostic lintrelc prints. The path, the message and the
// project's bytes are arbitrary; what reaches the terminal is valid UTF-8
// with no control character but the line ends and TAB, and the echoed source
// line and its marks stay within the width, the caret on the shown line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/diagnostic_text.h"
#include "require.h"
#include "text/code_page_1250.h"
#include "text/terminal_text.h"

using lintrel::fuzz::require;

namespace {

// Five header bytes: the path's and the message's length, the line (0 for
// none), the column (two bytes). Then the path, the message and the project.
constexpr std::size_t kHeader = 5;

// The code points of `text`; false when it is not valid UTF-8.
bool decode(std::string_view text, std::vector<char32_t>& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || i + length > text.size()) return false;
        char32_t character = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            character = (character << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (character < smallest[length] || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
            return false;
        out.push_back(character);
        i += length;
    }
    return true;
}

bool isControl(char32_t c) { return (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c <= 0x9F); }

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void checkEcho(std::string_view shown, std::string_view marks) {
    std::vector<char32_t> characters;
    decode(shown, characters);
    require(characters.size() <= static_cast<std::size_t>(lintrel::kEchoedColumns), "an echoed line past the width");
    require(marks.size() <= static_cast<std::size_t>(lintrel::kEchoedColumns), "a mark line past the width");
    const std::size_t caret = marks.find('^');
    require(caret != std::string_view::npos && marks.find_first_not_of(" \t") == caret &&
                marks.find_first_not_of('~', caret + 1) == std::string_view::npos,
            "a mark line that is not blanks, one caret and tildes");
    require(caret <= characters.size(), "the caret right of the shown line's end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + kHeader, size - kHeader);
    const std::size_t pathSize = std::min<std::size_t>(data[0], rest.size());
    const std::string_view path = rest.substr(0, pathSize);
    rest.remove_prefix(pathSize);
    const std::size_t messageSize = std::min<std::size_t>(data[1], rest.size());
    lintrel::Diagnostic diagnostic;
    diagnostic.message = std::string(rest.substr(0, messageSize));
    const std::string_view project = rest.substr(messageSize);
    diagnostic.line = static_cast<int>(data[2]) - 1;
    diagnostic.column = data[3] | (data[4] << 8);
    diagnostic.length = data[4] >> 4;
    const bool lineExists = diagnostic.line >= 0 &&
                            static_cast<std::size_t>(diagnostic.line) < lintrel::splitProjectLines(project).size();

    const std::string text = lintrel::diagnosticText(path, diagnostic, project);
    std::vector<char32_t> characters;
    require(decode(text, characters), "output that is not valid UTF-8");
    for (const char32_t c : characters) require(!isControl(c), "a control character reaches the terminal");
    require(!text.empty() && text.back() == '\n', "output that does not end its line");
    const auto lines = linesOf(text);
    require(lines.size() == (lineExists ? 3u : 1u), "the source line echoed or left out wrongly");
    // An escape is four characters for one byte, "…" three bytes for none.
    require(lines[0].size() <= 4 * (path.size() + messageSize) + 64, "a first line longer than its parts escaped");
    if (lineExists) checkEcho(lines[1], lines[2]);
    return 0;
}
