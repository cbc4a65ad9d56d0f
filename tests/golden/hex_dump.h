// The expected-image files: the output file's name on the first line, then
// sixteen bytes a row behind their offset, with the printable characters at
// the end of the row between bars:
//   Compiled_PRIMO.pri
//   000000: D1 00 00 09 00 F1 43 0A 00 B2 31 00 00 00 C9     |......C...1....|
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace lintrel::testing {

struct HexDump {
    std::string fileName;
    std::vector<unsigned char> bytes;
};

inline std::string formatHexDump(const HexDump& dump) {
    std::string text = dump.fileName + "\n";
    for (std::size_t row = 0; row < dump.bytes.size(); row += 16) {
        char cell[24];
        std::snprintf(cell, sizeof cell, "%06zX:", row);
        text += cell;
        std::string printable;
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i >= dump.bytes.size()) {
                text += "   ";
                continue;
            }
            std::snprintf(cell, sizeof cell, " %02X", dump.bytes[i]);
            text += cell;
            const unsigned char byte = dump.bytes[i];
            printable += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
        }
        text += "  |" + printable + "|\n";
    }
    return text;
}

// Nothing when a row is out of place or holds something other than bytes.
inline std::optional<HexDump> parseHexDump(const std::string& text) {
    std::istringstream in(text);
    HexDump dump;
    if (!std::getline(in, dump.fileName) || dump.fileName.empty()) return std::nullopt;
    std::string row;
    while (std::getline(in, row)) {
        if (row.empty()) continue;
        const std::size_t colon = row.find(':');
        if (colon == std::string::npos) return std::nullopt;
        std::size_t offset = 0;
        try {
            offset = std::stoul(row.substr(0, colon), nullptr, 16);
        } catch (...) {
            return std::nullopt;
        }
        if (offset != dump.bytes.size()) return std::nullopt;
        std::istringstream cells(row.substr(colon + 1));
        std::string cell;
        while (cells >> cell && cell[0] != '|') {
            if (cell.size() != 2 || !std::isxdigit(static_cast<unsigned char>(cell[0])) ||
                !std::isxdigit(static_cast<unsigned char>(cell[1])))
                return std::nullopt;
            dump.bytes.push_back(static_cast<unsigned char>(std::stoul(cell, nullptr, 16)));
        }
    }
    return dump;
}

}  // namespace lintrel::testing
