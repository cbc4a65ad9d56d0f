// Reference passes after the line assembler: every one a sequence of
// replace-alls or row walks over the whole text, as documented.
#include <algorithm>

#include "platforms/platforms.h"
#include "reference/reference_build.h"

namespace lintrel::reference {

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool sameIgnoringCase(char a, char b) { return upper(a) == upper(b); }

bool matchesAt(std::string_view text, std::size_t at, std::string_view pattern) {
    if (pattern.empty() || at + pattern.size() > text.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (!sameIgnoringCase(text[at + i], pattern[i])) return false;
    }
    return true;
}

std::span<const KeywordRow> keywordRows(std::string_view platform) {
    const Platform* found = platform.empty() ? nullptr : findPlatform(platform);
    return found ? found->keywords : std::span<const KeywordRow>{};
}

std::span<const CharacterRow> characterRows(std::string_view platform) {
    const Platform* found = platform.empty() ? nullptr : findPlatform(platform);
    return found ? found->characters : std::span<const CharacterRow>{};
}

// The code page 1250 letters the HT table knows by their UTF-8 form. Not Á:
// its code 60 00 would end the line record on the machine, so it has none.
struct AccentedLetter {
    unsigned char byte;
    std::string_view utf8;
};
constexpr AccentedLetter kHtAccented[] = {
    {0xC9, "\xC3\x89"}, {0xCD, "\xC3\x8D"}, {0xD3, "\xC3\x93"}, {0xDA, "\xC3\x9A"}, {0xD6, "\xC3\x96"},
    {0xD5, "\xC5\x90"}, {0xDC, "\xC3\x9C"}, {0xDB, "\xC5\xB0"}, {0xE1, "\xC3\xA1"}, {0xE9, "\xC3\xA9"},
    {0xED, "\xC3\xAD"}, {0xF3, "\xC3\xB3"}, {0xFA, "\xC3\xBA"}, {0xF6, "\xC3\xB6"}, {0xF5, "\xC5\x91"},
    {0xFC, "\xC3\xBC"}, {0xFB, "\xC5\xB1"},
};

std::string lookupKey(std::string_view platform, const std::string& unit) {
    if (platform != "HT" || unit.size() != 1) return unit;
    for (const auto& letter : kHtAccented) {
        if (static_cast<unsigned char>(unit[0]) == letter.byte) return std::string(letter.utf8);
    }
    return unit;
}

// Keyword pass: at each position the first row in stored order that matches
// there wins; otherwise one character passes.
std::string replaceKeywords(const std::string& line, std::span<const KeywordRow> rows) {
    std::string output;
    std::size_t position = 0;
    while (position < line.size()) {
        bool matched = false;
        for (const auto& row : rows) {
            if (matchesAt(line, position, row.text)) {
                output += row.code;
                position += row.text.size();
                matched = true;
                break;
            }
        }
        if (!matched) output += line[position++];
    }
    return output;
}

std::string upperCase(std::string line) {
    for (char& c : line) c = upper(c);
    return line;
}

// The 1,404 replace-alls of the Homelab variable names, two-letter rules first.
std::string encodeVariableNames(std::string line) {
    for (int x = 'A'; x <= 'Z'; ++x) {
        for (int y = 'A'; y <= 'Z'; ++y) {
            const std::string name{static_cast<char>(x), static_cast<char>(y)};
            line = replaceAll(line, name + "$", nibblePair(x + 0x20) + nibblePair(y));
            line = replaceAll(line, name + "(", nibblePair(x) + nibblePair(y - 0x40));
        }
    }
    for (int x = 'A'; x <= 'Z'; ++x) {
        const std::string name(1, static_cast<char>(x));
        line = replaceAll(line, name + "$", nibblePair(x + 0x20));
        line = replaceAll(line, name + "(", nibblePair(x) + nibblePair(0x1F));
    }
    return line;
}

std::string passCharacters(const std::string& line, std::string_view platform) {
    std::string output;
    for (char c : line) output += lookUpCharacter(platform, std::string(1, c));
    return output;
}

std::string hex2(unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 15]};
}

bool isNibbleCharacter(unsigned char byte) { return byte >= 0x80 && byte <= 0x8F; }

struct Candidate {
    int line = 0;
    int column = 0;
    bool found = false;
    unsigned char byte = 0;
};

bool before(const Candidate& a, const Candidate& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
}

}  // namespace

std::string replaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) return std::string(text);
    std::string output;
    std::size_t position = 0;
    while (position < text.size()) {
        if (matchesAt(text, position, pattern)) {
            output += replacement;
            position += pattern.size();
        } else {
            output += text[position++];
        }
    }
    return output;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string tokenLiteral(int value) {
    std::string literal = "{";
    literal += hex2(static_cast<unsigned char>(value));
    literal += '}';
    return literal;
}

std::string nibblePair(int value) {
    return {static_cast<char>(0x80 + ((value >> 4) & 15)), static_cast<char>(0x80 + (value & 15))};
}

void hexEnCoding(std::vector<std::string>& buffer) {
    for (int i = 0; i < 256; ++i) {
        buffer = splitLines(replaceAll(joinLines(buffer), tokenLiteral(i), nibblePair(i)));
    }
}

void labelEnCoding(std::vector<std::string>& buffer, std::vector<std::string>& names,
                   std::vector<std::string>& numbers) {
    std::vector<std::size_t> order(names.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return names[a].size() > names[b].size(); });
    std::vector<std::string> sortedNames;
    std::vector<std::string> sortedNumbers;
    for (std::size_t i : order) {
        sortedNames.push_back(names[i]);
        sortedNumbers.push_back(numbers[i]);
    }
    names = sortedNames;
    numbers = sortedNumbers;
    for (std::size_t j = 0; j < names.size(); ++j) {
        buffer = splitLines(replaceAll(joinLines(buffer), names[j], numbers[j]));
    }
}

std::string lookUpCharacter(std::string_view platform, const std::string& unit) {
    const std::string key = lookupKey(platform, unit);
    std::string current = key;
    for (const auto& row : characterRows(platform)) {
        if (current == row.source) current = std::string(row.code);
    }
    return current == key ? unit : current;
}

bool writesText(std::string_view platform) {
    return platform.empty() || platform == "BASIC" || platform == "ABC80";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A listing line: every token literal the byte it names, as it is; every
// other character upper-cased. Literals never overlap, so one scan from the
// left finds those that the 256 replace-alls would find.
std::string textLine(const std::string& line) {
    std::string output;
    std::size_t position = 0;
    while (position < line.size()) {
        if (line[position] == '{' && position + 3 < line.size() && line[position + 3] == '}' &&
            hexDigit(line[position + 1]) >= 0 && hexDigit(line[position + 2]) >= 0) {
            output += static_cast<char>(hexDigit(line[position + 1]) * 16 + hexDigit(line[position + 2]));
            position += 4;
        } else {
            output += upper(line[position++]);
        }
    }
    return output;
}

void tokenizer(std::vector<std::string>& buffer, std::string_view platform) {
    if (writesText(platform)) {
        for (auto& line : buffer) line = textLine(line);
        return;
    }
    const auto keywords = keywordRows(platform);
    for (auto& line : buffer) line = replaceKeywords(line, keywords);
    hexEnCoding(buffer);
    const bool homelab = platform == "HL2" || platform == "HL3";
    for (auto& line : buffer) {
        line = upperCase(line);
        if (homelab) line = encodeVariableNames(line);
        line = passCharacters(line, platform);
    }
    hexEnCoding(buffer);
}

std::optional<Diagnostic> findUnencodable(const Assembly& assembly, const std::vector<std::string>& finishedLines,
                                          const std::vector<std::string>& projectLines) {
    const std::string& platform = assembly.platform;
    if (platform != "HL2" && platform != "HL3" && platform != "PRIMO" && platform != "HT" && platform != "TVC")
        return std::nullopt;
    std::optional<Candidate> first;
    auto consider = [&](const Candidate& candidate) {
        if (!first || before(candidate, *first)) first = candidate;
    };
    for (std::size_t i = 0; i < finishedLines.size(); ++i) {
        const int source = assembly.sourceLines[i];
        const std::string& sourceText = projectLines[source];
        const ScannedLine& scanned = assembly.scanned[source];
        for (char c : finishedLines[i]) {
            if (isNibbleCharacter(static_cast<unsigned char>(c))) continue;
            Candidate candidate{source, 0, false, static_cast<unsigned char>(c)};
            for (int column = scanned.begin; column < scanned.end; ++column) {
                if (sourceText[column] == c) {
                    candidate.column = column;
                    candidate.found = true;
                    break;
                }
            }
            consider(candidate);
        }
    }
    for (std::size_t line = 0; line < assembly.scanned.size(); ++line) {
        for (int column : assembly.scanned[line].nibbleBytes) {
            consider(Candidate{static_cast<int>(line), column, true,
                               static_cast<unsigned char>(projectLines[line][column])});
        }
    }
    if (!first) return std::nullopt;
    Diagnostic diagnostic;
    diagnostic.message = "The character \"" + std::string(1, static_cast<char>(first->byte)) + "\" (" +
                         hex2(first->byte) + ") has no code on " + platform + "!";
    diagnostic.line = first->line;
    diagnostic.column = first->found ? first->column : 0;
    diagnostic.length = first->found ? 1 : 0;
    diagnostic.selects = first->found;
    return diagnostic;
}

Result build(const std::vector<std::string>& projectLines, const BuildOptions& options) {
    Assembly assembly = assembleLines(projectLines, options);
    Result result;
    result.platform = assembly.platform;
    result.emulatorCommand = assembly.emulatorCommand;
    result.error = assembly.error;
    result.lines = assembly.buffer;
    result.sourceLines = assembly.sourceLines;
    result.labelNames = assembly.labelNames;
    result.labelNumbers = assembly.labelNumbers;
    if (result.error) return result;
    result.error = findLineOfAnotherPlatform(assembly);
    if (result.error) return result;

    if (!assembly.platform.empty()) labelEnCoding(result.lines, result.labelNames, result.labelNumbers);
    if (!writesText(assembly.platform)) hexEnCoding(result.lines);
    tokenizer(result.lines, assembly.platform);
    result.error = findUnencodable(assembly, result.lines, projectLines);
    if (result.error) return result;

    Image image = writeImage(result.platform, result.lines);
    if (image.stoppedAt) {
        // Nothing to select: the line is where the program stopped fitting.
        result.error = Diagnostic{image.message, result.sourceLines.at(*image.stoppedAt), 0, 0, false};
        return result;
    }
    result.fileName = image.fileName;
    result.image = std::move(image.bytes);
    return result;
}

}  // namespace lintrel::reference
