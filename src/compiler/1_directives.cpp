// The line assembler's directives: "&P=", "&C=", "&I=" and "&E=".
#include <algorithm>

#include "compiler/line_scan.h"

namespace lintrel::passes {
namespace {

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

}  // namespace

// Collects characters from `start` up to a delimiter or the line's end.
std::size_t readWordEnd(std::string_view source, std::size_t start, std::string_view delimiters) {
    std::size_t end = start;
    while (end < source.size() && delimiters.find(source[end]) == std::string_view::npos) ++end;
    return end;
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
// Found with memchr: the first "|" or "&", unless a brace unit before it
// hides it, when the search goes on after that unit.
std::size_t nextCommentOrDirective(std::string_view source, std::size_t pos) {
    auto find = [source](char c, std::size_t from) { return std::min(source.find(c, from), source.size()); };
    auto findStop = [&find](std::size_t from) { return std::min(find('|', from), find('&', from)); };
    std::size_t stop = findStop(pos);
    for (std::size_t brace = find('{', pos); brace < stop; brace = find('{', pos)) {
        pos = brace + 4;
        if (pos >= source.size()) return source.size();
        if (stop < pos) stop = findStop(pos);
    }
    return stop;
}

}  // namespace lintrel::passes
