// Reference line assembler: one editor line at a time, one unit per step, the
// character table walked row by row for every unit inside strings and remarks.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "reference/reference_build.h"

namespace lintrel::reference {

namespace {

constexpr long long kNoLimit = std::numeric_limits<std::int32_t>::max();

enum class Prefix { None, DecimalSpace, Decimal, HighFirst, LowFirst };

// Written down here again on purpose, so a wrong descriptor row shows up as a
// difference instead of being shared by both builds.
struct Facts {
    std::string_view id;
    Prefix prefix;
    long long limit;
    long long shown;
    bool tokenizes;          // has keyword and character tables; spaces may go
    bool dataAndApostrophe;  // HT and PRIMO: DATA and "'" as the machine stores them
};

constexpr Facts kFacts[] = {
    {"", Prefix::None, kNoLimit, kNoLimit, false, false},
    {"BASIC", Prefix::DecimalSpace, kNoLimit, kNoLimit, false, false},
    {"ABC80", Prefix::Decimal, 65536, 65535, false, false},
    {"HL2", Prefix::HighFirst, 32760, 32759, true, false},
    {"HL3", Prefix::HighFirst, 32760, 32759, true, false},
    {"PRIMO", Prefix::LowFirst, 65530, 65529, true, true},
    {"HT", Prefix::LowFirst, 65530, 65529, true, true},
    {"TVC", Prefix::LowFirst, 10000, 9999, true, false},
};

const Facts* factsOf(std::string_view id) {
    for (const auto& facts : kFacts) {
        if (facts.id == id) return &facts;
    }
    return nullptr;
}

bool isAcceptedPlatform(std::string_view value) {
    return !value.empty() && factsOf(value) != nullptr;
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// A directive value read as the rule states it: an optional sign, then one
// or more decimal digits, naming a signed 32-bit number. The range is judged
// on the digits as text, so no arithmetic can overflow on the way.
std::optional<long long> readInteger(const std::string& value) {
    const bool hasSign = !value.empty() && (value.front() == '+' || value.front() == '-');
    std::string digits = value.substr(hasSign ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    const bool negative = hasSign && value.front() == '-';
    const std::string largest = negative ? "2147483648" : "2147483647";
    if (digits.size() > largest.size() || (digits.size() == largest.size() && digits > largest)) return std::nullopt;
    const long long magnitude = std::stoll(digits);
    return negative ? -magnitude : magnitude;
}

// Collects characters from `position` up to a delimiter or the line's end and
// leaves `position` on the delimiter (or one past the end).
std::string readWord(const std::string& line, std::size_t& position, std::string_view delimiters) {
    std::string word;
    while (position < line.size() && delimiters.find(line[position]) == std::string_view::npos) {
        word += line[position];
        ++position;
    }
    return word;
}

Diagnostic selectError(std::string message, int lineIndex, std::size_t valueStart, const std::string& value) {
    return Diagnostic{std::move(message), lineIndex, static_cast<int>(valueStart), static_cast<int>(value.size()),
                      true};
}

std::string withPrefix(const Facts& facts, long long number, const std::string& text) {
    switch (facts.prefix) {
        case Prefix::None: return text;
        case Prefix::DecimalSpace: return std::to_string(number) + " " + text;
        case Prefix::Decimal: return std::to_string(number) + text;
        case Prefix::HighFirst: return tokenLiteral(static_cast<int>(number / 256)) + tokenLiteral(number % 256) + text;
        case Prefix::LowFirst: return tokenLiteral(static_cast<int>(number % 256)) + tokenLiteral(number / 256) + text;
    }
    return text;
}

struct Scan {
    bool stringMode = false;
    bool remark = false;
    bool dataMode = false;
    bool quotedItem = false;
};

// Reads one directive whose "&" stands at `at`. Returns false when the build stops.
bool runDirective(Assembly& assembly, const std::string& line, std::size_t at, int lineIndex) {
    const char kind = line[at + 1];
    std::size_t position = at + 3;
    const std::size_t valueStart = position;
    if (kind == 'E') {
        assembly.emulatorCommand = readWord(line, position, "|\t");
        return true;
    }
    const std::string value = readWord(line, position, "| \t");
    if (kind == 'P') {
        if (!isAcceptedPlatform(value)) {
            assembly.error = selectError("\"" + value + "\" is not a valid platform!", lineIndex, valueStart, value);
            return false;
        }
        assembly.platform = value;
        return true;
    }
    const auto number = readInteger(value);
    if (!number) {
        assembly.error = selectError("\"" + value + "\" is not a valid integer value!", lineIndex, valueStart, value);
        return false;
    }
    if (kind == 'C') {
        if (*number < assembly.lineNumber) {
            assembly.error = selectError("Parameter \"" + value + "\" must be greater than " +
                                             std::to_string(assembly.lineNumber) + "!",
                                         lineIndex, valueStart, value);
            return false;
        }
        assembly.lineNumber = *number;
        return true;
    }
    if (*number < 1) {
        assembly.error = selectError("Parameter \"" + value + "\" must be 1 or greater!", lineIndex, valueStart, value);
        return false;
    }
    assembly.increment = *number;
    return true;
}

bool isDirective(const std::string& line, std::size_t at) {
    if (at + 2 >= line.size() || line[at + 2] != '=') return false;
    const char kind = line[at + 1];
    return kind == 'E' || kind == 'P' || kind == 'C' || kind == 'I';
}

std::string upperCase(std::string text) {
    for (char& c : text) c = upper(c);
    return text;
}

bool lettersAt(const std::string& line, std::size_t at, std::string_view letters) {
    if (at + letters.size() > line.size()) return false;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (upper(line[at + i]) != letters[i]) return false;
    }
    return true;
}

// The longest label name (letter case ignored) that begins at `at`, as
// written there; empty when none does.
std::string nameAt(const std::vector<std::string>& names, const std::string& line, std::size_t at) {
    std::string longest;
    for (const std::string& name : names) {
        if (name.size() > longest.size() && lettersAt(line, at, upperCase(name)))
            longest = line.substr(at, name.size());
    }
    return longest;
}

// Records the 0x80-0x8F bytes of a unit taken from the source at `from`.
void noteNibbleBytes(ScannedLine& scanned, const std::string& line, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count && i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte >= 0x80 && byte <= 0x8F) scanned.nibbleBytes.push_back(static_cast<int>(i));
    }
}

// Steps 1 to 4 for one editor line. Returns false when the build stops.
bool assembleLine(Assembly& assembly, const std::string& line, int lineIndex, const BuildOptions& options,
                  const std::vector<std::string>& names) {
    const std::string readUnder = assembly.platform;
    std::string output;
    Scan scan;
    ScannedLine scanned;
    std::size_t position = 0;
    while (position < line.size()) {
        std::string unit(1, line[position]);
        const std::size_t unitStart = position;
        bool fromSource = true;  // the unit's bytes stand in the source at unitStart
        const Facts& facts = *factsOf(assembly.platform);
        if (unit == "|") break;
        if (unit == "\t") unit.clear();
        if (unit == "{") {
            unit = line.substr(position, 4);
            position += 3;
        }
        if (unit == "&" && isDirective(line, position)) {
            if (!runDirective(assembly, line, position, lineIndex)) return false;
            break;
        }
        if (unit == "\\" && position == 0) {
            std::size_t end = 0;
            const std::string name = readWord(line, end, "| \t");
            assembly.labelNames.push_back(name);
            assembly.labelNumbers.push_back(std::to_string(assembly.lineNumber));
            assembly.awaitingLine.push_back(assembly.labelNames.size() - 1);
            unit.clear();
            position = end;
            scanned.begin = static_cast<int>(end);
            if (end < line.size() && line[end] == '|') break;
        }
        const bool plainText = !scan.stringMode && !scan.dataMode;
        // A defined name after "\\" is program text as written: one unit
        // that none of the rules below matches.
        if (unit == "\\" && plainText) {
            if (const std::string name = nameAt(names, line, position); !name.empty()) {
                unit = name;
                position += name.size() - 1;
            }
        }
        if (plainText && upper(unit.size() == 1 ? unit[0] : 0) == 'R' && lettersAt(line, position + 1, "EM")) {
            unit = "REM";
            fromSource = false;
            scan.stringMode = true;
            scan.remark = true;
            position += 2;
        } else if (plainText && facts.dataAndApostrophe && unit.size() == 1 && upper(unit[0]) == 'D' &&
                   lettersAt(line, position + 1, "ATA")) {
            unit = "DATA";
            fromSource = false;
            scan.dataMode = true;
            position += 3;
        } else if (plainText && facts.dataAndApostrophe && unit == "'") {
            unit = "{3A}{93}{FB}";
            fromSource = false;
            scan.stringMode = true;
            scan.remark = true;
        }
        bool dataEnds = false;
        if (unit == "\"") {
            if (scan.dataMode) {
                scan.quotedItem = !scan.quotedItem;
            } else if (!scan.remark) {
                scan.stringMode = !scan.stringMode;
            }
        } else if (unit == ":" && scan.dataMode && !scan.quotedItem) {
            scan.dataMode = false;
            dataEnds = true;
        }
        if ((scan.stringMode || scan.dataMode) && facts.tokenizes && !dataEnds) {
            unit = lookUpCharacter(assembly.platform, unit);
        }
        if (unit == " " && facts.tokenizes && options.removeSpaces) unit.clear();
        if (fromSource && !unit.empty()) noteNibbleBytes(scanned, line, unitStart, position - unitStart + 1);
        output += unit;
        ++position;
    }
    scanned.end = static_cast<int>(std::min(position, line.size()));
    assembly.scanned.push_back(scanned);
    if (output.empty()) return true;

    const Facts& facts = *factsOf(assembly.platform);
    output = withPrefix(facts, assembly.lineNumber, output);
    assembly.lineNumber += assembly.increment;
    if (assembly.lineNumber > facts.limit) {
        assembly.error = Diagnostic{"The maximum allowed value for BASIC line numbering has been exceeded. (" +
                                        std::to_string(facts.shown) + ")",
                                    lineIndex, 0, 0, false};
        return false;
    }
    assembly.buffer.push_back(output);
    assembly.sourceLines.push_back(lineIndex);
    assembly.readUnder.push_back(readUnder);
    assembly.numberedUnder.push_back(assembly.platform);
    // Labels defined since the last program line stand for this one.
    for (const std::size_t label : assembly.awaitingLine) {
        assembly.labelNumbers[label] = std::to_string(assembly.lineNumber - assembly.increment);
    }
    assembly.awaitingLine.clear();
    return true;
}

// Every label definition of the project: "\\" in the first column, the name
// up to a space, TAB or "|".
std::vector<std::string> definedNames(const std::vector<std::string>& projectLines) {
    std::vector<std::string> names;
    for (const std::string& line : projectLines) {
        if (line.empty() || line[0] != '\\') continue;
        std::size_t end = 0;
        names.push_back(readWord(line, end, "| \t"));
    }
    return names;
}

}  // namespace

Assembly assembleLines(const std::vector<std::string>& projectLines, const BuildOptions& options) {
    Assembly assembly;
    const std::vector<std::string> names = definedNames(projectLines);
    for (std::size_t i = 0; i < projectLines.size(); ++i) {
        if (!assembleLine(assembly, projectLines[i], static_cast<int>(i), options, names)) break;
    }
    return assembly;
}

std::optional<Diagnostic> findLineOfAnotherPlatform(const Assembly& assembly) {
    for (std::size_t i = 0; i < assembly.buffer.size(); ++i) {
        const std::string& other =
            assembly.readUnder[i] != assembly.platform ? assembly.readUnder[i] : assembly.numberedUnder[i];
        if (other == assembly.platform) continue;
        const std::string made = other.empty() ? "made before any \"&P=\"" : "made for " + other;
        return Diagnostic{"This program line was " + made + ", but the last \"&P=\" builds " +
                              assembly.platform + ": put \"&P=" + assembly.platform +
                              "\" before the first program line.",
                          assembly.sourceLines[i], 0, 0, false};
    }
    return std::nullopt;
}

}  // namespace lintrel::reference
