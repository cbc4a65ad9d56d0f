// The line assembler's scan of one source line, shared by the files of the
// pass: the text and modes (1_assemble_lines.cpp), directives
// (1_directives.cpp) and label references (1_label_references.cpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "compiler/assembler.h"
#include "compiler/labels.h"
#include "compiler/platform_tables.h"
#include "compiler/warnings.h"
#include "text/ascii.h"

namespace lintrel::passes {

inline constexpr char kTab = '\t';

// Collects characters from `start` up to a delimiter or the line's end.
std::size_t readWordEnd(std::string_view source, std::size_t start, std::string_view delimiters);

// Carries out the directive whose "&" stands at `pos`; nullopt in `handled`
// when the "&" is an ordinary character.
std::optional<Diagnostic> runDirective(AssemblerState& state, std::string_view source, std::size_t pos,
                                       int lineIndex, bool& handled);

// The tables of the platform in force, looked up when it changes.
inline const PlatformTables& tablesIn(AssemblerState& state) {
    if (state.tablesFor != state.platform) {
        state.tables = &tablesOf(*state.platform);
        state.tablesFor = state.platform;
    }
    return *state.tables;
}

// Step 4: number the gathered text and check the platform's limit.
std::optional<Diagnostic> finishLine(AssemblerState& state, int lineIndex, AssembledLine& out);

// From `pos`, the next "|" or "&" outside a brace unit, or the line's end.
std::size_t nextCommentOrDirective(std::string_view source, std::size_t pos);

inline constexpr bool isCodeRange(unsigned char c) { return (c & 0xF0) == 0x80; }

// Where a unit of program text leaves its bytes; remembers the first byte
// 0x80-0x8F among them.
inline void appendSourceBytes(std::string_view bytes, std::size_t pos, AssembledLine& out) {
    for (std::size_t k = 0; k < bytes.size() && !out.firstCodeRangeByte; ++k) {
        if (isCodeRange(static_cast<unsigned char>(bytes[k]))) out.firstCodeRangeByte = pos + k;
    }
    out.pieces.text(bytes);
}

inline void appendSourceByte(unsigned char c, std::size_t pos, AssembledLine& out) {
    if (isCodeRange(c) && !out.firstCodeRangeByte) out.firstCodeRangeByte = pos;
    out.pieces.text(static_cast<char>(c));
}

// A comment, a TAB, a brace unit or a directive, inside strings as well.
inline constexpr bool startsUnitInAnyMode(unsigned char c) {
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

inline LineScan::LineScan(AssemblerState& state, std::string_view source, int lineIndex, AssembledLine& out,
                   const LabelContext& labels)
    : state_(state),
      source_(source),
      lineIndex_(lineIndex),
      out_(out),
      labels_(labels),
      tables_(tablesIn(state)),
      translating_(!state.platform->characters.empty()),
      dropSpaces_(state.platform->spaceRemoval && state.removeSpaces) {
    out.pieces.clear();
    out.made = false;
    out.scanBegin = 0;
    out.scanEnd = source.size();
    out.firstCodeRangeByte.reset();
}

}  // namespace lintrel::passes
