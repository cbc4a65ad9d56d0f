// Pass 1, the line assembler: directives, label definitions, comments, TABs,
// spaces, strings and remarks through the character table, line numbers.
#include <array>
#include <charconv>

#include "compiler/passes.h"

namespace lintrel::passes {
namespace {

constexpr char kTab = '\t';

// Collects characters from `start` up to a delimiter or the line's end.
std::size_t readWordEnd(std::string_view source, std::size_t start, std::string_view delimiters) {
    std::size_t end = start;
    while (end < source.size() && delimiters.find(source[end]) == std::string_view::npos) ++end;
    return end;
}

// Optional sign, then decimal digits only, within the signed 32-bit range.
std::optional<long long> parseInteger(std::string_view value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    if (i == value.size()) return std::nullopt;
    long long magnitude = 0;
    for (; i < value.size(); ++i) {
        if (value[i] < '0' || value[i] > '9') return std::nullopt;
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > 2147483648LL) return std::nullopt;
    }
    const long long number = negative ? -magnitude : magnitude;
    if (number > 2147483647LL) return std::nullopt;
    return number;
}

Diagnostic valueError(std::string message, int lineIndex, std::size_t valueStart, std::size_t valueLength) {
    return Diagnostic{std::move(message), lineIndex, static_cast<int>(valueStart),
                      static_cast<int>(valueLength), true};
}

std::string quoted(std::string_view value) {
    std::string text = "\"";
    text += value;
    text += '"';
    return text;
}

void appendNumberPrefix(const Platform& platform, long long number, std::string& text) {
    const unsigned high = static_cast<unsigned>((number / 256) & 0xFF);
    const unsigned low = static_cast<unsigned>(number % 256);
    switch (platform.lineNumberForm) {
        case LineNumberForm::None:
            break;
        case LineNumberForm::DecimalSpace:
            text += std::to_string(number);
            text += ' ';
            break;
        case LineNumberForm::Decimal:
            text += std::to_string(number);
            break;
        case LineNumberForm::HighByteFirst:
            text += tokenLiteral(high);
            text += tokenLiteral(low);
            break;
        case LineNumberForm::LowByteFirst:
            text += tokenLiteral(low);
            text += tokenLiteral(high);
            break;
    }
}

// Step 4: number the gathered text and check the platform's limit.
std::optional<Diagnostic> finishLine(AssemblerState& state, const std::string& body, int lineIndex,
                                     AssembledLine& out) {
    if (body.empty()) return std::nullopt;
    const Platform& platform = *state.platform;
    appendNumberPrefix(platform, state.lineNumber, out.text);
    out.text += body;
    state.lineNumber += state.increment;
    if (state.lineNumber > platform.lineNumberLimit) {
        out.text.clear();
        return Diagnostic{"The maximum allowed value for BASIC line numbering has been exceeded. (" +
                              std::to_string(platform.reportedMaximum) + ")",
                          lineIndex, 0, 0, false};
    }
    return std::nullopt;
}

bool startsWithLetters(std::string_view source, std::size_t pos, std::string_view capitals) {
    if (source.size() - pos < capitals.size()) return false;
    for (std::size_t k = 0; k < capitals.size(); ++k) {
        if (upperAscii(static_cast<unsigned char>(source[pos + k])) != static_cast<unsigned char>(capitals[k]))
            return false;
    }
    return true;
}

// Carries out the directive whose "&" stands at `pos`; nullopt in `handled`
// when the "&" is an ordinary character.
std::optional<Diagnostic> runDirective(AssemblerState& state, std::string_view source, std::size_t pos,
                                       int lineIndex, bool& handled) {
    handled = false;
    if (source.size() - pos < 3 || source[pos + 2] != '=') return std::nullopt;
    const char kind = source[pos + 1];
    if (kind != 'E' && kind != 'P' && kind != 'C' && kind != 'I') return std::nullopt;
    handled = true;
    const std::size_t start = pos + 3;
    const std::size_t end = readWordEnd(source, start, kind == 'E' ? std::string_view("|\t", 2)
                                                                   : std::string_view("| \t", 3));
    const std::string_view value = source.substr(start, end - start);
    if (kind == 'E') {
        state.emulatorCommand.assign(value);
        return std::nullopt;
    }
    if (kind == 'P') {
        const Platform* platform = findPlatform(value);
        if (platform == nullptr)
            return valueError(quoted(value) + " is not a valid platform!", lineIndex, start, value.size());
        state.platform = platform;
        return std::nullopt;
    }
    const std::optional<long long> number = parseInteger(value);
    if (!number)
        return valueError(quoted(value) + " is not a valid integer value!", lineIndex, start, value.size());
    if (kind == 'C') {
        if (*number < state.lineNumber)
            return valueError("Parameter " + quoted(value) + " must be greater than " +
                                  std::to_string(state.lineNumber) + "!",
                              lineIndex, start, value.size());
        state.lineNumber = *number;
    } else {
        if (*number < 1)
            return valueError("Parameter " + quoted(value) + " must be 1 or greater!", lineIndex, start,
                              value.size());
        state.increment = *number;
    }
    return std::nullopt;
}

// From `pos`, the next "|" or "&" outside a brace unit, or the line's end.
std::size_t nextCommentOrDirective(std::string_view source, std::size_t pos) {
    while (pos < source.size()) {
        const char c = source[pos];
        if (c == '|' || c == '&') return pos;
        pos += c == '{' ? 4 : 1;
    }
    return source.size();
}

// Where a unit of program text leaves its bytes; remembers the first byte
// 0x80-0x8F, which the later passes would take for a nibble character.
void appendSourceBytes(std::string_view bytes, std::size_t pos, std::string& body, AssembledLine& out) {
    for (std::size_t k = 0; k < bytes.size() && !out.firstNibbleByte; ++k) {
        if (isNibble(static_cast<unsigned char>(bytes[k]))) out.firstNibbleByte = pos + k;
    }
    body += bytes;
}

void appendSourceByte(unsigned char c, std::size_t pos, std::string& body, AssembledLine& out) {
    if (isNibble(c) && !out.firstNibbleByte) out.firstNibbleByte = pos;
    body += static_cast<char>(c);
}

}  // namespace

std::array<bool, 256> plainTextBytes(const Platform& platform) {
    std::array<bool, 256> plain{};
    for (unsigned v = 0; v < 256; ++v) plain[v] = !isNibble(static_cast<unsigned char>(v));
    for (const unsigned char c : std::string_view("|\t{&\" Rr")) plain[c] = false;
    if (!platform.apostropheRemark.empty()) plain['\''] = false;
    if (!platform.dataKeyword.empty()) {
        const auto first = static_cast<unsigned char>(platform.dataKeyword[0]);
        plain[first] = false;
        plain[first >= 'A' && first <= 'Z' ? first + 0x20 : first] = false;
    }
    return plain;
}

std::optional<Diagnostic> assembleLine(AssemblerState& state, std::string_view source, int lineIndex,
                                       LabelTable* labels, AssembledLine& out) {
    out.text.clear();
    out.scanBegin = 0;
    out.scanEnd = source.size();
    out.firstNibbleByte.reset();
    std::string& body = out.body;
    body.clear();

    const PlatformTables& tables = tablesOf(*state.platform);
    const bool translating = !state.platform->characters.empty();
    const bool dropSpaces = state.platform->spaceRemoval && state.removeSpaces;
    bool stringMode = false;  // strings and remarks
    bool remark = false;      // a remark stays in string mode to the line's end
    bool dataMode = false;    // PRIMO, HT: the items after DATA
    bool quotedItem = false;  // inside a quoted DATA item

    std::size_t pos = 0;
    while (pos < source.size()) {
        // The label run only needs to know that the line has text; after that
        // only a comment or a directive can still matter.
        if (labels != nullptr && !body.empty()) {
            pos = nextCommentOrDirective(source, pos);
            if (pos == source.size()) break;
        }
        if (pos > 0 && !stringMode && !dataMode) {  // a run of plain program text at once
            std::size_t end = pos;
            while (end < source.size() && tables.plainText[static_cast<unsigned char>(source[end])]) ++end;
            body.append(source, pos, end - pos);
            pos = end;
            if (pos == source.size()) break;
        }
        const unsigned char c = static_cast<unsigned char>(source[pos]);
        if (c == '|') {
            out.scanEnd = pos;
            break;
        }
        if (c == kTab) {
            ++pos;
            continue;
        }
        if (c == '{') {  // brace unit: never split, never translated
            appendSourceBytes(source.substr(pos, 4), pos, body, out);
            pos += 4;
            continue;
        }
        if (c == '&') {
            bool handled = false;
            std::optional<Diagnostic> error = runDirective(state, source, pos, lineIndex, handled);
            if (error) return error;
            if (handled) {
                out.scanEnd = pos;
                return finishLine(state, body, lineIndex, out);
            }
        }
        if (c == '\\' && pos == 0) {  // label definition
            const std::size_t end = readWordEnd(source, 0, std::string_view("| \t", 3));
            if (labels != nullptr) {
                labels->names.emplace_back(source.substr(0, end));
                labels->numbers.push_back(std::to_string(state.lineNumber));
            }
            out.scanBegin = end;
            if (end < source.size() && source[end] == '|') {
                out.scanEnd = end;
                break;
            }
            pos = end + 1;
            continue;
        }
        // Only a byte that is not plain can start "REM", a remark or DATA items.
        if (!stringMode && !dataMode && !tables.plainText[c]) {
            const Platform& platform = *state.platform;
            if (startsWithLetters(source, pos, "REM")) {
                body += "REM";
                stringMode = remark = true;
                pos += 3;
                continue;
            }
            if (c == '\'' && !platform.apostropheRemark.empty()) {
                body += platform.apostropheRemark;
                stringMode = remark = true;
                ++pos;
                continue;
            }
            if (!platform.dataKeyword.empty() && startsWithLetters(source, pos, platform.dataKeyword)) {
                body += platform.dataKeyword;
                dataMode = true;
                pos += platform.dataKeyword.size();
                continue;
            }
        }
        bool translate = stringMode || dataMode;
        if (c == '"' && !remark) {
            if (dataMode) {
                quotedItem = !quotedItem;
            } else {
                stringMode = !stringMode;
                translate = stringMode;
            }
        }
        if (dataMode && !quotedItem && c == ':') {
            dataMode = false;
            translate = false;
        }
        if (translate && translating) {
            const std::string_view code = tables.characterCodes[c];
            if (!code.empty()) {
                body += code;
                ++pos;
                continue;
            }
        }
        if (c == ' ' && dropSpaces) {
            ++pos;
            continue;
        }
        appendSourceByte(c, pos, body, out);
        ++pos;
    }
    return finishLine(state, body, lineIndex, out);
}

}  // namespace lintrel::passes
