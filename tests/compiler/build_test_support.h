// Small helpers for the build tests: run a project, show finished lines as
// hex bytes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "compiler/build.h"
#include "text/nibbles.h"

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

// Every byte of a finished line, its number included.
inline std::string lineHex(const std::string& finished) { return hexOf(decodeLine(finished)); }

// The bytes after the two-byte line number.
inline std::string bodyHex(const std::string& finished) { return hexOf(decodeLine(finished), 2); }

// Builds one program line on `platform` and gives its bytes after the line
// number, or "error: <message>".
inline std::string bytesOn(const std::string& platform, const std::string& line, bool removeSpaces = true) {
    const BuildResult result = buildProject({"&P=" + platform, line}, removeSpaces);
    if (!result.ok()) return "error: " + result.error->message;
    if (result.lines.size() != 1) return "lines: " + std::to_string(result.lines.size());
    return bodyHex(result.lines[0]);
}

}  // namespace lintrel::testing
