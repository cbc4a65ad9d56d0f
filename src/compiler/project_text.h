// The project file as bytes: line splitting and the code page 1250 mapping
// that the window uses to show those bytes as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// Splits file bytes into lines at CR LF, LF or a lone CR. A final line break
// does not start another line; every other byte is kept as it is.
std::vector<std::string> splitProjectLines(std::string_view bytes);

// Every line followed by CR LF, as project files are written.
std::string joinProjectLines(const std::vector<std::string>& lines);

// Code page 1250 byte to Unicode. The five values the code page leaves
// undefined (81 83 88 90 98) map to the C1 controls of the same value, so
// every byte round-trips.
char32_t codePage1250ToUnicode(unsigned char byte);

// The inverse; nullopt for a character that has no byte in the code page.
std::optional<unsigned char> unicodeToCodePage1250(char32_t character);

}  // namespace lintrel
