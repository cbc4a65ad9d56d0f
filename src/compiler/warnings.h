// The warnings a build finds: their list, their texts, and the checks that
// run beside the passes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/assembler.h"
#include "compiler/build.h"
#include "compiler/labels.h"
#include "compiler/line_references.h"

namespace lintrel::passes {

// Warnings in place order: the first kKeptWarnings kept, all counted.
class WarningList {
public:
    // `make` builds the warning only while there is room for it.
    template <typename Make>
    void add(Make&& make) {
        ++count_;
        if (kept_.size() < kKeptWarnings) kept_.push_back(make());
    }
    // Another list's warnings, all at places after this list's.
    void append(const WarningList& later);
    // Two lists of one source line, merged by column.
    void appendLine(const WarningList& first, const WarningList& second);
    void clear() {
        kept_.clear();
        count_ = 0;
    }
    bool empty() const { return count_ == 0; }
    std::size_t count() const { return count_; }
    const std::vector<Diagnostic>& kept() const { return kept_; }

private:
    std::vector<Diagnostic> kept_;
    std::size_t count_ = 0;
};

// The texts of the warnings the passes find.
std::string undefinedLabelWarning(std::string_view reference);
std::string gluedLabelWarning(std::string_view name, std::string_view rest);
// Bytes that may continue a reference's name in a warning's text.
bool isReferenceNameByte(unsigned char c);

// Whether the project reads as UTF-8 (multi-byte sequences, no invalid
// one): one warning, at the first line that holds such a sequence.
class Utf8Check {
public:
    void read(std::string_view line, int lineIndex);
    void add(WarningList& warnings) const;

private:
    bool invalid_ = false;
    std::optional<Diagnostic> first_;
};

// Definitions: a name defined again, and a label named only "\\".
void warnAboutDefinitions(const LabelTable& sorted, const LabelIndex& index, WarningList& warnings);
// Labels that no reference names, at their first definition.
void warnAboutUnusedLabels(const LabelTable& sorted, const LabelIndex& index, const std::vector<char>& used,
                           WarningList& warnings);

// Line-number references to lines the program does not have, found on each
// finished line and placed in its source line. Numbered platforms check
// against the numbers the first run gave the lines; with no platform a line
// is numbered only by digits typed at its start, so the check waits for the
// last line.
class LineReferenceCheck {
public:
    LineReferenceCheck(const Platform& platform, std::vector<long long> lineNumbers);
    // `stored`: the bytes of program line `line` after its number.
    void check(std::string_view stored, std::size_t line, std::string_view source,
               const AssembledLine& assembled, int lineIndex, WarningList& warnings);
    void finish(WarningList& warnings);

private:
    struct Pending {
        long long number;
        Diagnostic warning;  // its place; the text is written if the line is missing
        std::string digits;
    };
    void readTypedNumber(std::string_view stored);
    Diagnostic placed(std::string_view digits, std::size_t nth, std::string_view source,
                      const AssembledLine& assembled, int lineIndex);
    void indexNumbers();
    bool exists(long long number) const;

    const Platform& platform_;
    std::vector<long long> numbers_;  // sorted
    std::vector<std::uint64_t> present_;  // bit n: numbers_.front() + n is a line, when not empty
    bool typedNumbers_;
    std::vector<Pending> pending_;
    std::vector<LineReference> found_;
    std::vector<LineReference> slots_;
    bool slotsRead_ = false;
};

}  // namespace lintrel::passes
