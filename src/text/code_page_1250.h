// Project text as bytes: code page 1250, one line per text line, CR LF
// between lines. Splitting bytes into lines, joining them, and the mapping
// to Unicode that the window and the terminal show the bytes through.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// Calls `visit(line)` for each line of `bytes`, split at CR LF, LF or a lone
// CR, until it returns false. A final line break starts no further line;
// every other byte is kept as it is.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit&& visit) {
    // The next CR and the next LF, each found by memchr and looked for again
    // only once the scan has passed it, so lone CRs cost no rescans.
    auto next = [&bytes](char c, std::size_t from) {
        const void* at = std::memchr(bytes.data() + from, c, bytes.size() - from);
        return at ? static_cast<std::size_t>(static_cast<const char*>(at) - bytes.data()) : bytes.size();
    };
    std::size_t carriageReturn = 0, lineFeed = 0;
    bool found = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        if (!found || carriageReturn < start) carriageReturn = next('\r', start);
        if (!found || lineFeed < start) lineFeed = next('\n', start);
        found = true;
        std::size_t end = std::min(carriageReturn, lineFeed);
        if (!visit(bytes.substr(start, end - start))) return;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

// The lines of `bytes`, split as forEachLine splits them.
std::vector<std::string> splitProjectLines(std::string_view bytes);

// Appends every line followed by CR LF to `out`, a std::string or a byte vector.
template <typename Bytes>
void appendLinesWithCrLf(std::span<const std::string> lines, Bytes& out) {
    std::size_t size = out.size();
    for (const std::string& line : lines) size += line.size() + 2;
    out.reserve(size);
    for (const std::string& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\r');
        out.push_back('\n');
    }
}

// Every line followed by CR LF, as project files are written.
std::string joinProjectLines(std::span<const std::string> lines);

// Code page 1250 byte to Unicode. The five values the code page leaves
// undefined (81 83 88 90 98) map to the C1 controls of the same value, so
// every byte round-trips.
char32_t codePage1250ToUnicode(unsigned char byte);

// The inverse; nullopt for a character that has no byte in the code page.
std::optional<unsigned char> unicodeToCodePage1250(char32_t character);

// Code page 1250 bytes (a project line, a build message) as UTF-8, for the terminal.
std::string utf8FromCodePage1250(std::string_view bytes);

// The inverse: UTF-8 text in code page 1250, or nullopt with `failedAt` set
// to the offset of the first sequence that is not UTF-8 or names a
// character the code page lacks.
std::optional<std::string> codePage1250FromUtf8(std::string_view utf8, std::size_t& failedAt);

}  // namespace lintrel
