// Pass 1, the line assembler: directives, label definitions, comments, TABs,
// spaces, strings and remarks through the character table, line numbers.
#include <cstring>

#include "compiler/line_scan.h"

namespace lintrel::passes {

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