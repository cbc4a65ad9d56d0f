// Bytes written the way layouts are documented: "A5 20 20 ...".
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace lintrel::testing {

inline std::vector<unsigned char> hex(const std::string& text) {
    std::vector<unsigned char> bytes;
    std::istringstream in(text);
    std::string word;
    while (in >> word) bytes.push_back(static_cast<unsigned char>(std::stoi(word, nullptr, 16)));
    return bytes;
}

}  // namespace lintrel::testing
