// Small helpers for the build tests: run a project, show finished lines as
// hex bytes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "compiler/build.h"
#include "platforms/platforms.h"

namespace lintrel::testing {

inline BuildResult buildProject(const std::vector<std::string>& lines, bool removeSpaces = true) {
    BuildOptions options;
    options.removeSpaces = removeSpaces;
    return build(lines, options);
}

// "A8 61 42"
inline std::string hexOf(const std::vector<unsigned char>& bytes, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text;
}

// Each program line as its file holds it: the number in the platform's
// layout, then the line's bytes; on the text platforms "10 PRINT".
inline std::vector<std::string> storedLines(const BuildResult& result) {
    std::vector<std::string> lines;
    const Program& program = result.program;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const long n = program.number(i);
        std::string line;
        switch (result.platform->lineNumberForm) {
            case LineNumberForm::None: break;
            case LineNumberForm::DecimalSpace: line = std::to_string(n) + ' '; break;
            case LineNumberForm::Decimal: line = std::to_string(n); break;
            case LineNumberForm::HighByteFirst: line = {static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)}; break;
            case LineNumberForm::LowByteFirst: line = {static_cast<char>(n & 0xFF), static_cast<char>(n >> 8)}; break;
        }
        line += program.text(i);
        lines.push_back(std::move(line));
    }
    return lines;
}

// The editor line each program line came from.
inline std::vector<int> origins(const BuildResult& result) {
    std::vector<int> lines;
    for (std::size_t i = 0; i < result.program.size(); ++i) lines.push_back(static_cast<int>(result.program.origin(i)));
    return lines;
}

// Every byte of a stored line, its number included.
inline std::string lineHex(const std::string& stored) { return hexOf({stored.begin(), stored.end()}); }

// The bytes after the two-byte line number.
inline std::string bodyHex(const std::string& stored) { return hexOf({stored.begin(), stored.end()}, 2); }

// Builds one program line on `platform` and gives its bytes after the line
// number, or "error: <message>".
inline std::string bytesOn(const std::string& platform, const std::string& line, bool removeSpaces = true) {
    const BuildResult result = buildProject({"&P=" + platform, line}, removeSpaces);
    if (!result.ok()) return "error: " + result.error->message;
    if (result.program.size() != 1) return "lines: " + std::to_string(result.program.size());
    return hexOf({result.program.bytes(0).begin(), result.program.bytes(0).end()});
}

}  // namespace lintrel::testing
