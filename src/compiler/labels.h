// Pass 2, the label resolver: the label table sorted longest name first,
// an index over its names, and references replaced by line numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/assembler.h"
#include "compiler/line_pieces.h"

namespace lintrel::passes {

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
    bool namesHoldBraces = false;    // some name holds a "{"
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
// Pass 2: replaces label references in one text.
void resolveLabels(const LabelIndex& index, std::string& line, std::string& scratch);
// Pass 2 over a program line's pieces; `scratch` is reused from line to line.
void resolveLabels(const LabelIndex& index, LinePieces& line, LinePieces& scratch, std::string& text);

// Leftmost, non-overlapping, ASCII letters without case; inserted text is not rescanned.
void replaceAll(std::string_view text, std::string_view pattern, std::string_view replacement,
                std::string& out);

}  // namespace lintrel::passes
