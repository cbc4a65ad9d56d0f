// Pass 2, LabelEnCoding: label references become line numbers, as if every
// row of the table, longest name first, ran replace-all over the program in
// turn. A reference never spans a line break, so each line is resolved alone.
//
// Fast path. When no name holds "\" after its first character, a match can
// only start at a "\" and ends before the next one; matches at different
// backslashes are then independent, and the first row that matches at a
// backslash is the longest name that starts there. That is exact unless an
// inserted number could complete a name together with the text before it,
// which needs a segment ("\" up to the next "\") that is a proper prefix of a
// name. Lines where that may happen, and every line when a name holds a
// later "\", take the general path: the rows that occur in the line, in table
// order, each by replace-all.
#include <algorithm>
#include <limits>

#include "compiler/labels.h"
#include "text/ascii.h"

namespace lintrel::passes {
namespace {

constexpr std::uint64_t kHashBase = 0x100000001B3ULL;

std::uint64_t hashKey(std::uint64_t rolling, std::size_t length) {
    std::uint64_t key = rolling ^ (static_cast<std::uint64_t>(length) * 0x9E3779B97F4A7C15ULL);
    key ^= key >> 31;
    key *= 0xBF58476D1CE4E5B9ULL;
    key ^= key >> 29;
    return key;
}

std::uint64_t roll(std::uint64_t rolling, char c) {
    return rolling * kHashBase + upperAscii(static_cast<unsigned char>(c)) + 1;
}

std::string_view nameText(const LabelIndex& index, const LabelIndex::Name& name) {
    return std::string_view(index.folded).substr(name.offset, name.length);
}

// The distinct name equal (ignoring case) to text[0, length), or -1.
long long findName(const LabelIndex& index, std::uint64_t rolling, std::string_view text) {
    const std::uint64_t key = hashKey(rolling, text.size());
    for (std::uint64_t slot = key & index.slotMask;; slot = (slot + 1) & index.slotMask) {
        const std::uint32_t entry = index.slots[slot];
        if (entry == 0) return -1;
        const std::uint32_t name = entry - 1;
        if (index.nameKeys[name] == key && equalsIgnoringCase(nameText(index, index.names[name]), text))
            return name;
    }
}

// The first eight bytes, big-endian, zero-padded: keys in this order are in
// text order, so most comparisons of names never touch the text itself.
std::uint64_t leadingKey(std::string_view text) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        key = (key << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    }
    return key;
}

// Whether `segment` is a proper prefix (ignoring case) of some label name.
bool extendsToName(const LabelIndex& index, std::string_view segment, std::string& folded) {
    if (segment.size() >= index.maxLength) return false;
    folded.clear();
    for (const char c : segment) folded += static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
    // The names with the same leading key, then among them by text.
    const std::uint64_t key = leadingKey(folded);
    const auto keys = std::equal_range(index.byTextKeys.begin(), index.byTextKeys.end(), key);
    const auto from = index.byText.begin() + (keys.first - index.byTextKeys.begin());
    const auto to = index.byText.begin() + (keys.second - index.byTextKeys.begin());
    auto it = std::lower_bound(from, to, std::string_view(folded), [&](std::uint32_t name, std::string_view text) {
        return nameText(index, index.names[name]) < text;
    });
    if (it != index.byText.end() && nameText(index, index.names[*it]) == folded) ++it;
    return it != index.byText.end() && nameText(index, index.names[*it]).starts_with(folded);
}

// The first row of the sorted table whose name starts `text`: the longest name.
long long longestNameAt(const LabelIndex& index, std::string_view text) {
    const LabelMatch match = longestLabelAt(index, text);
    if (match.length == 0) return -1;
    return static_cast<long long>(index.rowsOfName[index.names[match.name].rowsBegin]);
}

// The first row after `after` whose name occurs anywhere in `line`.
long long nextOccurringRow(const LabelIndex& index, std::string_view line, long long after) {
    long long best = std::numeric_limits<long long>::max();
    for (std::size_t p = line.find('\\'); p != std::string_view::npos; p = line.find('\\', p + 1)) {
        const std::size_t reach = std::min(line.size() - p, index.maxLength);
        std::uint64_t rolling = 0;
        for (std::size_t length = 1; length <= reach; ++length) {
            rolling = roll(rolling, line[p + length - 1]);
            if (!index.lengthPresent[length]) continue;
            const long long name = findName(index, rolling, line.substr(p, length));
            if (name < 0) continue;
            const auto begin = index.rowsOfName.begin() + index.names[name].rowsBegin;
            const auto end = index.rowsOfName.begin() + index.names[name].rowsEnd;
            const auto row = std::upper_bound(begin, end, after, [](long long value, std::uint32_t r) {
                return value < static_cast<long long>(r);
            });
            if (row != end) best = std::min<long long>(best, *row);
        }
    }
    return best == std::numeric_limits<long long>::max() ? -1 : best;
}

void resolveBySequence(const LabelIndex& index, std::string& line, std::string& scratch) {
    long long row = -1;
    while ((row = nextOccurringRow(index, line, row)) >= 0) {
        replaceAll(line, index.table->names[row], index.table->numbers[row], scratch);
        line.swap(scratch);
    }
}

// A hash key and the row or the distinct name it belongs to.
using KeyedRow = std::pair<std::uint64_t, std::uint32_t>;

// Every row's key, sorted by key and then by row; also the longest name and
// whether any name holds "\\" after its first character.
std::vector<KeyedRow> keyRows(const LabelTable& sorted, LabelIndex& index) {
    std::vector<KeyedRow> byKey;
    byKey.reserve(sorted.names.size());
    for (std::size_t r = 0; r < sorted.names.size(); ++r) {
        const std::string& name = sorted.names[r];
        index.maxLength = std::max(index.maxLength, name.size());
        if (name.find('\\', 1) != std::string::npos) index.backslashOnlyFirst = false;
        if (name.find('{') != std::string::npos) index.namesHoldBraces = true;
        std::uint64_t rolling = 0;
        for (const char c : name) rolling = roll(rolling, c);
        byKey.emplace_back(hashKey(rolling, name.size()), static_cast<std::uint32_t>(r));
    }
    std::sort(byKey.begin(), byKey.end());
    return byKey;
}

// Rows with equal names (ignoring case) become one distinct name, whose rows
// stay in table order because rows with one key come sorted by row. Returns
// each distinct name with its key.
std::vector<KeyedRow> groupNames(const LabelTable& sorted, const std::vector<KeyedRow>& byKey,
                                 LabelIndex& index) {
    std::vector<KeyedRow> distinct;
    std::vector<std::uint32_t> pending, same, rest;
    for (std::size_t i = 0; i < byKey.size();) {
        std::size_t j = i;
        while (j < byKey.size() && byKey[j].first == byKey[i].first) ++j;
        pending.clear();
        for (std::size_t k = i; k < j; ++k) pending.push_back(byKey[k].second);
        while (!pending.empty()) {  // one key may still hold different names
            const std::string& first = sorted.names[pending.front()];
            same.clear();
            rest.clear();
            for (const std::uint32_t r : pending) {
                (equalsIgnoringCase(sorted.names[r], first) ? same : rest).push_back(r);
            }
            LabelIndex::Name name;
            name.offset = static_cast<std::uint32_t>(index.folded.size());
            name.length = static_cast<std::uint32_t>(first.size());
            for (const char c : first) {
                index.folded += static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
            }
            name.rowsBegin = static_cast<std::uint32_t>(index.rowsOfName.size());
            index.rowsOfName.insert(index.rowsOfName.end(), same.begin(), same.end());
            name.rowsEnd = static_cast<std::uint32_t>(index.rowsOfName.size());
            distinct.emplace_back(byKey[i].first, static_cast<std::uint32_t>(index.names.size()));
            index.names.push_back(name);
            pending.swap(rest);
        }
        i = j;
    }
    return distinct;
}

// Open addressing with slots for at least twice as many names, so probe
// sequences stay short.
void fillSlots(const std::vector<KeyedRow>& distinct, LabelIndex& index) {
    std::size_t slotCount = 16;
    while (slotCount < 2 * index.names.size()) slotCount *= 2;
    index.slots.assign(slotCount, 0);
    index.slotMask = slotCount - 1;
    index.nameKeys.resize(index.names.size());
    for (const auto& [key, name] : distinct) {
        index.nameKeys[name] = key;
        std::uint64_t slot = key & index.slotMask;
        while (index.slots[slot] != 0) slot = (slot + 1) & index.slotMask;
        index.slots[slot] = name + 1;
    }
}

// The distinct names in text order, with their leading keys beside them.
void orderByText(LabelIndex& index) {
    std::vector<KeyedRow> ordered(index.names.size());
    for (std::size_t n = 0; n < ordered.size(); ++n) {
        ordered[n] = {leadingKey(nameText(index, index.names[n])), static_cast<std::uint32_t>(n)};
    }
    std::sort(ordered.begin(), ordered.end(), [&](const KeyedRow& a, const KeyedRow& b) {
        if (a.first != b.first) return a.first < b.first;
        return nameText(index, index.names[a.second]) < nameText(index, index.names[b.second]);
    });
    index.byText.resize(ordered.size());
    index.byTextKeys.resize(ordered.size());
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        index.byTextKeys[i] = ordered[i].first;
        index.byText[i] = ordered[i].second;
    }
}

}  // namespace

LabelMatch longestLabelAt(const LabelIndex& index, std::string_view text) {
    const std::size_t reach = std::min(text.size(), index.maxLength);
    LabelMatch match;
    std::uint64_t rolling = 0;
    for (std::size_t length = 1; length <= reach; ++length) {
        rolling = roll(rolling, text[length - 1]);
        if (!index.lengthPresent[length]) continue;
        const long long name = findName(index, rolling, text.substr(0, length));
        if (name >= 0) match = {static_cast<std::uint32_t>(name), length};
    }
    return match;
}

void sortLabels(LabelTable& table) {
    std::vector<std::size_t> order(table.names.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return table.names[a].size() > table.names[b].size();
    });
    const bool withLines = table.lines.size() == table.names.size();
    LabelTable sorted;
    sorted.names.reserve(order.size());
    sorted.numbers.reserve(order.size());
    if (withLines) sorted.lines.reserve(order.size());
    for (const std::size_t i : order) {
        sorted.names.push_back(std::move(table.names[i]));
        sorted.numbers.push_back(std::move(table.numbers[i]));
        if (withLines) sorted.lines.push_back(table.lines[i]);
    }
    sorted.awaitingLine = sorted.names.size();
    table = std::move(sorted);
}

LabelIndex indexLabels(const LabelTable& sorted) {
    LabelIndex index;
    index.table = &sorted;
    const std::vector<KeyedRow> byKey = keyRows(sorted, index);
    const std::vector<KeyedRow> distinct = groupNames(sorted, byKey, index);
    fillSlots(distinct, index);
    orderByText(index);
    index.lengthPresent.assign(index.maxLength + 1, 0);
    for (const LabelIndex::Name& name : index.names) index.lengthPresent[name.length] = 1;
    return index;
}

void resolveLabels(const LabelIndex& index, std::string& line, std::string& scratch) {
    const std::size_t firstBackslash = line.find('\\');
    if (index.names.empty() || firstBackslash == std::string::npos) return;
    if (!index.backslashOnlyFirst) {
        resolveBySequence(index, line, scratch);
        return;
    }
    // Segments: each "\" up to the next one (or the line's end).
    std::string folded;
    for (std::size_t p = firstBackslash;;) {
        const std::size_t next = line.find('\\', p + 1);
        if (next == std::string::npos) break;
        if (extendsToName(index, std::string_view(line).substr(p, next - p), folded)) {
            resolveBySequence(index, line, scratch);
            return;
        }
        p = next;
    }
    scratch.assign(line, 0, firstBackslash);
    for (std::size_t p = firstBackslash; p != std::string::npos;) {
        const std::size_t next = line.find('\\', p + 1);
        const std::string_view segment =
            std::string_view(line).substr(p, next == std::string::npos ? std::string::npos : next - p);
        const long long row = longestNameAt(index, segment);
        if (row >= 0) {
            scratch += index.table->numbers[row];
            scratch += segment.substr(index.table->names[row].size());
        } else {
            scratch += segment;
        }
        p = next;
    }
    line.swap(scratch);
}

// A reference never takes in a byte already made, unless a name holds a
// "{" and so could take in the token literal that byte was written as: such a
// project's lines are resolved as the text they stand for, bytes as literals.
void resolveLabels(const LabelIndex& index, LinePieces& line, LinePieces& scratch, std::string& text) {
    bool referenced = false;
    for (std::size_t k = 0; k < line.count() && !referenced; k += 2)
        referenced = line.piece(k).find('\\') != std::string_view::npos;
    if (!referenced || index.names.empty()) return;
    scratch.clear();
    std::string resolved;
    if (index.namesHoldBraces) {
        resolved.clear();
        for (std::size_t k = 0; k < line.count(); ++k) {
            if (!LinePieces::isFinal(k)) {
                resolved += line.piece(k);
                continue;
            }
            for (const char byte : line.piece(k)) resolved += tokenLiteral(static_cast<unsigned char>(byte));
        }
        resolveLabels(index, resolved, text);
        scratch.text(resolved);
    } else {
        for (std::size_t k = 0; k < line.count(); ++k) {
            const std::string_view piece = line.piece(k);
            if (LinePieces::isFinal(k)) {
                scratch.bytes(piece);
            } else if (piece.find('\\') == std::string_view::npos) {
                scratch.text(piece);
            } else {
                resolved.assign(piece);
                resolveLabels(index, resolved, text);
                scratch.text(resolved);
            }
        }
    }
    std::swap(line, scratch);
}

}  // namespace lintrel::passes
