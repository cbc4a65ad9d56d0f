// The line assembler's label references: each "\\" outside strings,
// remarks and DATA items that begins a defined name, with the warnings about
// names that are not defined or are glued to what follows them.
#include "compiler/line_scan.h"

namespace lintrel::passes {

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

}  // namespace lintrel::passes
