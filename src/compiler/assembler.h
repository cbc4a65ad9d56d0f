// Pass 1, the line assembler: directives, label definitions, comments,
// TABs, spaces, strings and remarks through the character table, line
// numbers. It runs twice: once over all lines for the label table and the
// directives, then line by line ahead of the later passes.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/diagnostic.h"
#include "compiler/line_pieces.h"
#include "platforms/platforms.h"

namespace lintrel::passes {

// Build state the line assembler carries from line to line.
struct AssemblerState {
    const Platform* platform = nullptr;  // noPlatform() until "&P="
    long long lineNumber = 1;
    long long increment = 1;
    std::string emulatorCommand;
    bool removeSpaces = true;
    // The tables of `tablesFor`, kept from line to line.
    const Platform* tablesFor = nullptr;
    const struct PlatformTables* tables = nullptr;
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
    LinePieces pieces;    // the program line's text and bytes, without its number
    bool made = false;    // whether the line makes a program line
    long long number = 0; // its number, once made
    // The scanned program text of the source line: after a label definition's
    // name, up to the comment or directive that ended the scan.
    std::size_t scanBegin = 0;
    std::size_t scanEnd = 0;
    // Position of the first byte 0x80-0x8F passed on as program text: the
    // machines' tokenizers take such bytes for codes, so they stop the build.
    std::optional<std::size_t> firstCodeRangeByte;
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
// known to be non-empty, so `out.made` is false exactly when the line makes
// no program line. With `names` the line is read unit by unit, so that a
// name's "&" or "{" begins nothing.
std::optional<Diagnostic> scanLabelsAndDirectives(AssemblerState& state, std::string_view source,
                                                  int lineIndex, LabelTable& labels, AssembledLine& out,
                                                  const LabelIndex* names = nullptr);
// Pass 1, run again once the table is known: one source line into its whole
// transfer line; directives, comments, strings and remarks, its number.
std::optional<Diagnostic> assembleLine(AssemblerState& state, std::string_view source, int lineIndex,
                                       AssembledLine& out, const LabelContext& labels = {});

}  // namespace lintrel::passes
