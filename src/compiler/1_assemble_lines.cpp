// Pass 1, the line assembler: directives, label definitions, comments, TABs,
// spaces, strings and remarks through the character table, line numbers.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "compiler/assembler.h"
#include "compiler/labels.h"
#include "compiler/platform_tables.h"
#include "compiler/warnings.h"
#include "text/ascii.h"

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

// Step 4: number the gathered text and check the platform's limit.
std::optional<Diagnostic> finishLine(AssemblerState& state, int lineIndex, AssembledLine& out) {
    if (out.pieces.empty()) return std::nullopt;
    const Platform& platform = *state.platform;
    out.made = true;
    out.number = state.lineNumber;
    state.lineNumber += state.increment;
    if (state.lineNumber > platform.lineNumberLimit) {
        out.made = false;
        return Diagnostic{"The maximum allowed value for BASIC line numbering has been exceeded. (" +
                              std::to_string(platform.reportedMaximum) + ")",
                          lineIndex, 0, 0, false};
    }
    return std::nullopt;
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

constexpr bool isCodeRange(unsigned char c) { return (c & 0xF0) == 0x80; }

// Where a unit of program text leaves its bytes; remembers the first byte
// 0x80-0x8F among them.
void appendSourceBytes(std::string_view bytes, std::size_t pos, AssembledLine& out) {
    for (std::size_t k = 0; k < bytes.size() && !out.firstCodeRangeByte; ++k) {
        if (isCodeRange(static_cast<unsigned char>(bytes[k]))) out.firstCodeRangeByte = pos + k;
    }
    out.pieces.text(bytes);
}

void appendSourceByte(unsigned char c, std::size_t pos, AssembledLine& out) {
    if (isCodeRange(c) && !out.firstCodeRangeByte) out.firstCodeRangeByte = pos;
    out.pieces.text(static_cast<char>(c));
}

// A comment, a TAB, a brace unit or a directive, inside strings as well.
constexpr bool startsUnitInAnyMode(unsigned char c) {
    return c == '|' || c == kTab || c == '{' || c == '&';
}

// Where DATA items lie on a platform whose assembler has no DATA rule: a
// backslash there is no reference to warn about. Moves forward only, so a
// line costs one pass however many backslashes it holds.
class DataStatements {
public:
    bool contain(std::string_view source, std::size_t pos) {
        while (scanned_ < pos) {
            const char c = source[scanned_];
            if (c == '"') {
                quoted_ = !quoted_;
            } else if (!quoted_ && c == ':') {
                inData_ = false;
            } else if (!quoted_ && (c == 'D' || c == 'd') && startsWithLetters(source, scanned_, "DATA")) {
                inData_ = true;
                scanned_ += 4;
                continue;
            }
            ++scanned_;
        }
        return inData_;
    }

private:
    std::size_t scanned_ = 0;
    bool quoted_ = false;
    bool inData_ = false;
};

// One source line's scan: where it stands, the modes that carry from unit to
// unit, and the text it gathers in `out`.
class LineScan {
public:
    LineScan(AssemblerState& state, std::string_view source, int lineIndex, AssembledLine& out,
             const LabelContext& labels);

    // Moves past a label definition at the line's start; its name ("\name"),
    // or empty when the line defines none.
    std::string_view skipLabelDefinition();
    // A run of plain text, then one unit: a TAB, a brace unit, a directive,
    // a comment, "REM", an apostrophe remark, DATA or one character. A
    // directive's error ends the scan.
    void step();
    void skipToCommentOrDirective() { pos_ = nextCommentOrDirective(source_, pos_); }
    // The directive's error, or else the gathered text numbered and the
    // platform's limit checked.
    std::optional<Diagnostic> finish() {
        if (error_) return std::move(error_);
        return finishLine(state_, lineIndex_, out_);
    }

    bool ended() const { return ended_ || pos_ >= source_.size(); }
    bool hasText() const { return !out_.pieces.empty(); }

private:
    void appendPlainRun();
    void appendStringRun();
    void appendTranslatedRun();
    void appendCode(unsigned char c);
    void endAt(std::size_t pos);
    bool startRemarkOrData(unsigned char c);
    void appendCharacter(unsigned char c);
    void appendLabelReference();
    void warnUndefinedReference();
    void warnGluedReference(std::size_t nameLength);
    void noteLabelUse();

    AssemblerState& state_;
    std::string_view source_;
    int lineIndex_;
    AssembledLine& out_;
    const LabelContext& labels_;
    DataStatements dataStatements_;  // for warnings only
    const PlatformTables& tables_;  // of the platform in force when the line starts
    bool translating_;
    bool dropSpaces_;
    std::size_t pos_ = 0;
    bool ended_ = false;               // a comment or a directive ended the program text
    std::optional<Diagnostic> error_;  // a directive's bad value
    bool stringMode_ = false;          // strings and remarks
    bool remark_ = false;              // a remark stays in string mode to the line's end
    bool dataMode_ = false;            // the items after DATA
    bool quotedItem_ = false;          // inside a quoted DATA item
};

LineScan::LineScan(AssemblerState& state, std::string_view source, int lineIndex, AssembledLine& out,
                   const LabelContext& labels)
    : state_(state),
      source_(source),
      lineIndex_(lineIndex),
      out_(out),
      labels_(labels),
      tables_(tablesOf(*state.platform)),
      translating_(!state.platform->characters.empty()),
      dropSpaces_(state.platform->spaceRemoval && state.removeSpaces) {
    out.pieces.clear();
    out.made = false;
    out.scanBegin = 0;
    out.scanEnd = source.size();
    out.firstCodeRangeByte.reset();
}

void LineScan::endAt(std::size_t pos) {
    out_.scanEnd = pos;
    ended_ = true;
}

std::string_view LineScan::skipLabelDefinition() {
    if (source_.empty() || source_[0] != '\\') return {};
    const std::size_t end = readWordEnd(source_, 0, std::string_view("| \t", 3));
    out_.scanBegin = end;
    if (end < source_.size() && source_[end] == '|') endAt(end);
    pos_ = end + 1;
    return source_.substr(0, end);
}

// Plain bytes pass on as they are, many at once; so do the spaces between
// them, dropped or kept as the option says.
void LineScan::appendPlainRun() {
    for (;;) {
        std::size_t end = pos_;
        while (end < source_.size() && tables_.plainText[static_cast<unsigned char>(source_[end])]) ++end;
        out_.pieces.text(source_.substr(pos_, end - pos_));
        pos_ = end;
        if (pos_ == source_.size() || source_[pos_] != ' ') return;
        if (!dropSpaces_) out_.pieces.text(' ');
        ++pos_;
    }
}

// Inside strings and remarks, the characters that switch no mode go through
// the character table, many at once.
void LineScan::appendStringRun() {
    // The fast runs do not look for label uses; the loop below does.
    const bool trackingLabels = labels_.used != nullptr;
    if (translating_ && !trackingLabels) {
        appendTranslatedRun();
        return;
    }
    if (!translating_ && !dropSpaces_ && !trackingLabels) {  // the run passes on as it stands
        std::size_t end = pos_;
        while (end < source_.size()) {
            const unsigned char c = static_cast<unsigned char>(source_[end]);
            if (startsUnitInAnyMode(c) || (c == '"' && !remark_)) break;
            ++end;
        }
        appendSourceBytes(source_.substr(pos_, end - pos_), pos_, out_);
        pos_ = end;
        return;
    }
    while (pos_ < source_.size()) {
        const unsigned char c = static_cast<unsigned char>(source_[pos_]);
        if (startsUnitInAnyMode(c) || (c == '"' && !remark_)) return;
        if (c == '\\' && labels_.used != nullptr) noteLabelUse();
        appendCode(c);
        ++pos_;
    }
}

// One character of a string, a remark or DATA items: its code, or itself
// where it has none (the tokenizer then meets it as text).
void LineScan::appendCode(unsigned char c) {
    const PackedBytes& code = tables_.codes[c];
    if (translating_ && code.size != 0) {
        out_.pieces.bytesBuffer().append(reinterpret_cast<const char*>(&code.bytes), code.size);
    } else if (c != ' ' || !dropSpaces_) {
        appendSourceByte(c, pos_, out_);
    }
}

// The same where every code fits in a word: the run's end first, then its
// bytes written in place.
void LineScan::appendTranslatedRun() {
    std::size_t end = pos_;
    while (end < source_.size()) {
        const unsigned char c = static_cast<unsigned char>(source_[end]);
        if (startsUnitInAnyMode(c) || (c == '"' && !remark_)) break;
        ++end;
    }
    // Codes are written in place, one store each, with room for eight bytes
    // a character; a character without a code goes on as text.
    while (pos_ < end) {
        const unsigned char first = static_cast<unsigned char>(source_[pos_]);
        if (tables_.codes[first].size == 0) {
            if (first != ' ' || !dropSpaces_) appendSourceByte(first, pos_, out_);
            ++pos_;
            continue;
        }
        std::size_t stop = pos_ + 1;
        while (stop < end && tables_.codes[static_cast<unsigned char>(source_[stop])].size != 0) ++stop;
        std::string& bytes = out_.pieces.bytesBuffer();
        const std::size_t start = bytes.size();
        bytes.resize(start + (stop - pos_ + 1) * sizeof(std::uint64_t));
        auto* write = reinterpret_cast<unsigned char*>(bytes.data() + start);
        for (; pos_ < stop; ++pos_) write = tables_.codes[static_cast<unsigned char>(source_[pos_])].writeTo(write);
        bytes.resize(static_cast<std::size_t>(reinterpret_cast<char*>(write) - bytes.data()));
    }
}

void LineScan::step() {
    if (stringMode_) {
        appendStringRun();
        if (pos_ == source_.size()) return;
    } else if (pos_ > 0 && !dataMode_) {
        appendPlainRun();
        if (pos_ == source_.size()) return;
    }
    const unsigned char c = static_cast<unsigned char>(source_[pos_]);
    if (c == '|') {
        endAt(pos_);
        return;
    }
    if (c == kTab) {
        ++pos_;
        return;
    }
    if (c == '{') {  // brace unit: never split, never translated
        appendSourceBytes(source_.substr(pos_, 4), pos_, out_);
        pos_ += 4;
        return;
    }
    if (c == '&') {
        bool handled = false;
        error_ = runDirective(state_, source_, pos_, lineIndex_, handled);
        if (error_ || handled) {
            endAt(pos_);
            return;
        }
    }
    if (c == '\\' && !stringMode_ && !dataMode_) {
        appendLabelReference();
        return;
    }
    if (!stringMode_ && !dataMode_ && tables_.remarkOrDataStarts[c] && startRemarkOrData(c)) return;
    appendCharacter(c);
}

// A label definition is never scanned as a step, so every "\\" here is a
// reference (or a plain character where no name begins).
void LineScan::appendLabelReference() {
    const LabelMatch match =
        labels_.names != nullptr ? longestLabelAt(*labels_.names, source_.substr(pos_)) : LabelMatch{};
    if (match.length == 0) {
        if (labels_.warnings != nullptr) warnUndefinedReference();
        appendCharacter('\\');
        return;
    }
    if (labels_.used != nullptr) (*labels_.used)[match.name] = 1;
    if (labels_.warnings != nullptr) warnGluedReference(match.length);
    appendSourceBytes(source_.substr(pos_, match.length), pos_, out_);
    pos_ += match.length;
}

void LineScan::warnUndefinedReference() {
    std::size_t end = pos_ + 1;
    while (end < source_.size() && isReferenceNameByte(static_cast<unsigned char>(source_[end]))) ++end;
    if (end == pos_ + 1) return;  // a lone backslash names nothing
    if (tables_.platform->dataKeyword.empty() && dataStatements_.contain(source_, pos_)) return;
    labels_.warnings->add([&] {
        return Diagnostic{undefinedLabelWarning(source_.substr(pos_, end - pos_)), lineIndex_,
                          static_cast<int>(pos_), static_cast<int>(end - pos_), true};
    });
}

// Letters, digits or "_" right after a name: the number is glued to them.
void LineScan::warnGluedReference(std::size_t nameLength) {
    const std::size_t nameEnd = pos_ + nameLength;
    std::size_t end = nameEnd;
    while (end < source_.size()) {
        const unsigned char c = static_cast<unsigned char>(source_[end]);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) break;
        ++end;
    }
    if (end == nameEnd) return;
    labels_.warnings->add([&] {
        return Diagnostic{
            gluedLabelWarning(source_.substr(pos_, nameLength), source_.substr(nameEnd, end - nameEnd)),
            lineIndex_, static_cast<int>(pos_), static_cast<int>(end - pos_), true};
    });
}

// Inside strings, remarks and DATA items a name counts as used as well.
void LineScan::noteLabelUse() {
    if (labels_.names == nullptr) return;
    const LabelMatch match = longestLabelAt(*labels_.names, source_.substr(pos_));
    if (match.length > 0) (*labels_.used)[match.name] = 1;
}

// "REM", the platform's apostrophe remark or its DATA keyword at the scan's
// place: the keyword is passed on and its mode begins.
bool LineScan::startRemarkOrData(unsigned char c) {
    const Platform& platform = *tables_.platform;
    if (startsWithLetters(source_, pos_, "REM")) {
        out_.pieces.text("REM");
        stringMode_ = remark_ = true;
        pos_ += 3;
        return true;
    }
    if (c == '\'' && !platform.apostropheRemark.empty()) {
        const PackedBytes& code = tables_.apostropheRemark;
        out_.pieces.bytesBuffer().append(reinterpret_cast<const char*>(&code.bytes), code.size);
        stringMode_ = remark_ = true;
        ++pos_;
        return true;
    }
    if (!platform.dataKeyword.empty() && startsWithLetters(source_, pos_, platform.dataKeyword)) {
        out_.pieces.text(platform.dataKeyword);
        dataMode_ = true;
        pos_ += platform.dataKeyword.size();
        return true;
    }
    return false;
}

// Quotes and a DATA item's colon switch modes; strings, remarks and DATA
// items go through the character table; spaces go where the option says.
void LineScan::appendCharacter(unsigned char c) {
    bool translate = stringMode_ || dataMode_;
    if (translate && c == '\\' && labels_.used != nullptr) noteLabelUse();
    if (c == '"' && !remark_) {
        if (dataMode_) {
            quotedItem_ = !quotedItem_;
        } else {
            stringMode_ = !stringMode_;
            translate = stringMode_;
        }
    }
    if (dataMode_ && !quotedItem_ && c == ':') {
        dataMode_ = false;
        translate = false;
    }
    if (translate) {
        appendCode(c);
    } else if (c != ' ' || !dropSpaces_) {
        appendSourceByte(c, pos_, out_);
    }
    ++pos_;
}

}  // namespace

std::array<bool, 256> remarkOrDataStarts(const Platform& platform) {
    std::array<bool, 256> starts{};
    starts['R'] = starts['r'] = true;
    if (!platform.apostropheRemark.empty()) starts['\''] = true;
    if (!platform.dataKeyword.empty()) {
        const auto first = static_cast<unsigned char>(platform.dataKeyword[0]);
        starts[first] = starts[first >= 'A' && first <= 'Z' ? first + 0x20 : first] = true;
    }
    return starts;
}

std::array<bool, 256> plainTextBytes(const Platform& platform) {
    const std::array<bool, 256> starts = remarkOrDataStarts(platform);
    std::array<bool, 256> plain{};
    for (unsigned v = 0; v < 256; ++v) plain[v] = !isCodeRange(static_cast<unsigned char>(v)) && !starts[v];
    for (const unsigned char c : std::string_view("|\t{&\"\\")) plain[c] = false;
    plain[' '] = !platform.spaceRemoval;  // a space is kept wherever removal never applies
    return plain;
}

void numberAwaitingLabels(LabelTable& labels, long long lineNumber) {
    if (labels.awaitingLine == labels.names.size()) return;
    const std::string number = std::to_string(lineNumber);
    for (std::size_t row = labels.awaitingLine; row < labels.names.size(); ++row)
        labels.numbers[row] = number;
    labels.awaitingLine = labels.names.size();
}

std::string_view definedLabelName(std::string_view line) {
    if (line.empty() || line[0] != '\\') return {};
    return line.substr(0, readWordEnd(line, 0, std::string_view("| \t", 3)));
}

bool labelNamesHideUnits(const LabelTable& labels) {
    for (const std::string& name : labels.names) {
        if (name.find_first_of("&{") != std::string::npos) return true;
    }
    return false;
}

std::optional<Diagnostic> scanLabelsAndDirectives(AssemblerState& state, std::string_view source,
                                                  int lineIndex, LabelTable& labels, AssembledLine& out,
                                                  const LabelIndex* names) {
    const LabelContext context{names, nullptr, nullptr};
    LineScan scan(state, source, lineIndex, out, context);
    if (const std::string_view name = scan.skipLabelDefinition(); !name.empty()) {
        labels.names.emplace_back(name);
        labels.numbers.push_back(std::to_string(state.lineNumber));
        labels.lines.push_back(lineIndex);
    }
    if (names != nullptr) {
        while (!scan.ended()) scan.step();
    } else {
        while (!scan.ended() && !scan.hasText()) scan.step();
        // Once the line has text, only a comment or a directive can still matter.
        while (!scan.ended()) {
            scan.skipToCommentOrDirective();
            if (!scan.ended()) scan.step();
        }
    }
    std::optional<Diagnostic> error = scan.finish();
    if (out.made) numberAwaitingLabels(labels, out.number);
    return error;
}

std::optional<Diagnostic> assembleLine(AssemblerState& state, std::string_view source, int lineIndex,
                                       AssembledLine& out, const LabelContext& labels) {
    LineScan scan(state, source, lineIndex, out, labels);
    scan.skipLabelDefinition();
    while (!scan.ended()) scan.step();
    return scan.finish();
}

}  // namespace lintrel::passes
