// Fuzz target: loading a project file. Splitting keeps every byte but the line
// breaks, joining and splitting again gives the same lines, and every byte
// survives the trip through the code page 1250 mapping the window shows.
#include <cstddef>
#include <cstdint>

#include "require.h"
#include "text/code_page_1250.h"

using lintrel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = lintrel::splitProjectLines(bytes);
    std::size_t kept = 0;
    for (const auto& line : lines) {
        require(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos,
                "a line break inside a line");
        kept += line.size();
    }
    std::size_t breaks = 0;
    for (char c : bytes) breaks += (c == '\r' || c == '\n') ? 1 : 0;
    require(kept + breaks == size, "bytes lost or added by splitting");

    const std::string saved = lintrel::joinProjectLines(lines);
    require(lintrel::splitProjectLines(saved) == lines, "saving and loading again changed the lines");

    for (std::size_t i = 0; i < size; ++i) {
        const auto character = lintrel::codePage1250ToUnicode(data[i]);
        const auto back = lintrel::unicodeToCodePage1250(character);
        require(back.has_value() && *back == data[i], "a byte that does not survive the code page");
    }
    return 0;
}
