// The passes of the build, in the order they run, and the data they share.
// Every pass after the line assembler works on one transfer line at a time:
// nothing they do can reach across a line break, so the driver streams each
// line through them instead of keeping several copies of the whole program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"
#include "compiler/line_references.h"
#include "platforms/platforms.h"
#include "text/nibbles.h"

namespace lintrel::passes {

// Lookups derived once from a platform's rows.
struct PlatformTables {
    const Platform* platform = nullptr;
    // Code of each byte as the first matching character row gives it; empty
    // where no row matches. HT accented letters are looked up by UTF-8 form.
    std::array<std::string_view, 256> characterCodes{};
    // The same codes already as nibble pairs, for the tokenizer's last step.
    std::array<std::string, 256> characterNibbles{};
    std::size_t longestNibbles = 1;  // at least one byte per character
    // Keyword rows by the upper-cased first character of their text, each list
    // in stored order, so the first row that matches at a place still wins.
    std::array<std::vector<std::uint16_t>, 256> keywordsByFirst{};
    std::vector<std::string> keywordNibbles;  // each row's code as nibble pairs
    // For the line assembler: the bytes that may begin "REM", an apostrophe
    // remark or DATA items, and the bytes it passes on in runs outside
    // strings, remarks and DATA items (none that begins a unit of its own,
    // nor a space where spaces may be removed).
    std::array<bool, 256> remarkOrDataStarts{};
    std::array<bool, 256> plainText{};
    // For the tokenizer where no name packing stands between its upper case
    // and its character pass: both at once, per character and per keyword.
    std::array<bool, 256> keywordStarts{};       // upper-cased byte begins some row's text
    // [upper-cased first byte]: bit set for each second byte some row there
    // can match (every bit for a one-character row), to pass over places
    // where no row can match without trying them.
    std::array<std::array<std::uint64_t, 4>, 256> keywordSeconds{};
    std::vector<std::string> keywordUpper;  // each row's text upper-cased
    // characterCodes again, each in the low bytes of one word (where all fit
    // in eight), for the assembler's runs inside strings and remarks.
    std::array<std::uint64_t, 256> codePacked{};
    std::array<std::uint8_t, 256> codeLength{};
    bool codesPack = false;
    std::array<std::string, 256> finishedBytes{};  // the byte upper-cased, then through the table
    std::vector<std::string> keywordFinished;    // each row's nibble pairs through the table
    std::size_t longestFinished = 1;
    // finishedBytes again, each in the low bytes of one word (where all fit
    // in eight), so that one store and one add write any of them.
    std::array<std::uint64_t, 256> finishedPacked{};
    std::array<std::uint8_t, 256> finishedLength{};
    bool finishedPacks = false;
};

const PlatformTables& tablesOf(const Platform& platform);

// Build state the line assembler carries from line to line.
struct AssemblerState {
    const Platform* platform = nullptr;  // noPlatform() until "&P="
    long long lineNumber = 1;
    long long increment = 1;
    std::string emulatorCommand;
    bool removeSpaces = true;
};

// The label table: parallel lists, definition order until sorted.
struct LabelTable {
    std::vector<std::string> names;
    std::vector<std::string> numbers;
    std::vector<int> lines;  // source line of each definition (may be left empty)
    // Rows from here on wait for the next program line, whose number they
    // take; a row that no line follows keeps the number it was defined with.
    std::size_t awaitingLine = 0;
};

// The number of a program line just made goes to every row waiting for one.
void numberAwaitingLabels(LabelTable& labels, long long lineNumber);

// What the assembler made of one source line.
struct AssembledLine {
    std::string text;  // the transfer line with its number; empty: no program line
    // The scanned program text of the source line: after a label definition's
    // name, up to the comment or directive that ended the scan.
    std::size_t scanBegin = 0;
    std::size_t scanEnd = 0;
    // Position of the first byte 0x80-0x8F passed on as program text.
    std::optional<std::size_t> firstNibbleByte;
    std::string body;  // working space: the text before its number
};

std::array<bool, 256> remarkOrDataStarts(const Platform& platform);
std::array<bool, 256> plainTextBytes(const Platform& platform);

struct LabelIndex;
class WarningList;

// What a run of the assembler knows of labels. Outside strings, remarks and
// DATA items, a "\" that begins the name of a label defined anywhere in the
// project (the longest such name) starts that name as program text as
// written: no REM, DATA, apostrophe, quote, brace or directive inside it.
struct LabelContext {
    const LabelIndex* names = nullptr;  // null: the names are not known yet
    WarningList* warnings = nullptr;    // undefined and glued references; null: none looked for
    std::vector<char>* used = nullptr;  // per distinct name, set at every reference; null: not tracked
};

// The name a line defines ("\\" in its first column, up to a space, TAB or
// "|"), or empty.
std::string_view definedLabelName(std::string_view line);

// Whether a name holds a byte that begins a unit of its own ("&" or "{"),
// so that the first run reads the project differently once names are known.
bool labelNamesHideUnits(const LabelTable& labels);

// Pass 1, first run over all lines: the label table, the directives and the
// directive and line-number errors. The text is gathered only until it is
// known to be non-empty, so `out.text` is empty exactly when the line makes
// no program line. With `names` the line is read unit by unit, so that a
// name's "&" or "{" begins nothing.
std::optional<Diagnostic> scanLabelsAndDirectives(AssemblerState& state, std::string_view source,
                                                  int lineIndex, LabelTable& labels, AssembledLine& out,
                                                  const LabelIndex* names = nullptr);
// Pass 1, run again once the table is known: one source line into its whole
// transfer line; directives, comments, strings and remarks, its number.
std::optional<Diagnostic> assembleLine(AssemblerState& state, std::string_view source, int lineIndex,
                                       AssembledLine& out, const LabelContext& labels = {});

// Pass 2 data: the sorted label table and an index over its names.
struct LabelIndex {
    struct Name {
        std::uint32_t offset = 0;  // into folded
        std::uint32_t length = 0;
        std::uint32_t rowsBegin = 0;  // into rowsOfName: sorted rows holding this name
        std::uint32_t rowsEnd = 0;
    };
    const LabelTable* table = nullptr;  // sorted
    std::string folded;                 // distinct names, upper-cased, back to back
    std::vector<Name> names;
    std::vector<std::uint32_t> rowsOfName;
    // Open addressing over the distinct names: slot -> name + 1, 0 for empty;
    // one probe sequence per lookup however many labels there are.
    std::vector<std::uint64_t> nameKeys;  // [name] -> hash key
    std::vector<std::uint32_t> slots;
    std::uint64_t slotMask = 0;
    std::vector<std::uint32_t> byText;      // names in text order
    std::vector<std::uint64_t> byTextKeys;  // their first eight bytes, for comparing without the text
    std::vector<char> lengthPresent;                              // [length] -> any name
    std::size_t maxLength = 0;
    bool backslashOnlyFirst = true;  // no name holds "\" after its first character
};

// Pass 2: sorts the table longest name first (stable) and indexes it.
void sortLabels(LabelTable& table);
LabelIndex indexLabels(const LabelTable& sorted);
// The longest distinct name (letter case ignored) that begins `text`.
struct LabelMatch {
    std::uint32_t name = 0;  // into LabelIndex::names
    std::size_t length = 0;  // 0: no name begins there
};
LabelMatch longestLabelAt(const LabelIndex& index, std::string_view text);
// Pass 2: replaces label references in one transfer line.
void resolveLabels(const LabelIndex& index, std::string& line, std::string& scratch);

// Pass 3: token literals to nibble pairs, one scan.
void encodeNibbles(std::string_view in, std::string& out);
// The same, appended to `out`.
void appendNibbles(std::string_view in, std::string& out);

// Pass 4: keywords, upper case, Homelab names and characters; the line becomes
// a finished line. On the platforms that store text, every token literal
// becomes the one byte it names and the rest is upper-cased.
void tokenizeLine(const PlatformTables& tables, std::string& line, std::string& scratch);

// Pass 5: the first character of a finished line that has no code, as a
// diagnostic at its place in the source line.
std::optional<Diagnostic> checkCharacters(const Platform& platform, std::string_view finished,
                                          std::string_view source, const AssembledLine& assembled,
                                          int lineIndex);

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
    void check(std::string_view finished, std::size_t transferLine, std::string_view source,
               const AssembledLine& assembled, int lineIndex, WarningList& warnings);
    void finish(WarningList& warnings);

private:
    struct Pending {
        long long number;
        Diagnostic warning;  // its place; the text is written if the line is missing
        std::string digits;
    };
    std::string_view body(std::string_view finished, std::size_t transferLine);
    Diagnostic placed(std::string_view digits, std::size_t nth, std::string_view source,
                      const AssembledLine& assembled, int lineIndex);
    void indexNumbers();
    bool exists(long long number) const;

    const Platform& platform_;
    std::vector<long long> numbers_;  // sorted
    std::vector<std::uint64_t> present_;  // bit n: numbers_.front() + n is a line, when not empty
    bool typedNumbers_;
    std::vector<Pending> pending_;
    std::string bytes_;
    std::vector<LineReference> found_;
    std::vector<LineReference> slots_;
    bool slotsRead_ = false;
};

// Shared helpers.
inline unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(static_cast<unsigned char>(a[i])) != upperAscii(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}
// Leftmost, non-overlapping, ASCII letters without case; inserted text is not rescanned.
void replaceAll(std::string_view text, std::string_view pattern, std::string_view replacement,
                std::string& out);
std::string tokenLiteral(unsigned value);

}  // namespace lintrel::passes
