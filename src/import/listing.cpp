#include "import/listing.h"

#include <algorithm>

#include "images/readers.h"
#include "import/listing_tables.h"

namespace lintrel {
namespace {

// Text checks and repairs a line needs at most before it builds back; past
// them every byte is written as a token literal, which always does.
constexpr int kRepairRounds = 8;

// One piece: how many stored bytes it stands for, its text, and the mode the
// line assembler is in after it.
struct Choice {
    std::size_t length = 0;  // 0: no spelling, a token literal
    std::string text;
    ListingMode after = ListingMode::Program;
};

bool isCapital(unsigned c) { return c >= 'A' && c <= 'Z'; }

std::optional<Choice> matchRun(const std::vector<Spelling>& runs, std::span<const unsigned char> rest) {
    for (const Spelling& run : runs) {
        if (run.bytes.size() <= rest.size() && std::equal(run.bytes.begin(), run.bytes.end(), rest.begin()))
            return Choice{run.bytes.size(), run.text, run.after};
    }
    return std::nullopt;
}

// Homelab names: "AB$" is 61 42, "A$" 61, "AB(" 41 02, "A(" 41 1F.
std::optional<Choice> matchName(const ListingTables& tables, std::span<const unsigned char> rest) {
    const unsigned x = rest[0];
    const unsigned y = rest.size() > 1 ? rest[1] : 0x100;
    if (tables.dollarNames && x >= 0x61 && x <= 0x7A) {
        std::string text(1, static_cast<char>(x - 0x20));
        if (isCapital(y)) return Choice{2, text + static_cast<char>(y) + "$", ListingMode::Program};
        return Choice{1, text + "$", ListingMode::Program};
    }
    if (tables.parenNames && isCapital(x)) {
        if (y >= 0x01 && y <= 0x1A) return Choice{2, {static_cast<char>(x), static_cast<char>(y + 0x40), '('}};
        if (y == 0x1F) return Choice{2, {static_cast<char>(x), '('}};
    }
    return std::nullopt;
}

Choice choose(const ListingTables& tables, std::span<const unsigned char> rest, ListingMode mode) {
    const unsigned b = rest[0];
    switch (mode) {
        case ListingMode::Program:
            if (auto run = matchRun(tables.programRuns, rest)) return *run;
            if (auto name = matchName(tables, rest)) return *name;
            if (tables.program[b].empty()) return {};
            return {1, tables.program[b], tables.programAfter[b]};
        case ListingMode::String:
            if (b == '"') return {1, "\"", ListingMode::Program};
            break;
        case ListingMode::Remark:
            if (b == '"') return {1, "\"", ListingMode::Remark};
            break;
        case ListingMode::Data:
            if (b == '"') return {1, "\"", ListingMode::QuotedItem};
            if (b == ':') return {1, ":", ListingMode::Program};
            break;
        case ListingMode::QuotedItem:
            if (b == '"') return {1, "\"", ListingMode::Data};
            break;
    }
    if (auto run = matchRun(tables.quotedRuns, rest)) return {run->length, run->text, mode};
    if (tables.quoted[b].empty()) return {};
    return {1, tables.quoted[b], mode};
}

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return (x >= 'a' && x <= 'z' ? x - 0x20 : x) == (y >= 'a' && y <= 'z' ? y - 0x20 : y);
    });
}

// Whether `text`, written after `tail` (the program text just before it),
// would spell REM or DATA across the join, which the assembler would take
// for the start of a remark or of DATA items.
bool spellsModeWord(const ListingTables& tables, std::string_view tail, std::string_view text) {
    std::string joined(tail);
    joined += text;
    for (const std::string& word : tables.modeWords) {
        for (std::size_t at = 0; at < tail.size() && at + word.size() <= joined.size(); ++at) {
            if (sameLetters(std::string_view(joined).substr(at, word.size()), word)) return true;
        }
    }
    return false;
}

void appendLiterals(std::span<const unsigned char> bytes, std::string& text) {
    for (const unsigned char b : bytes) text += "{" + hexByte(b) + "}";
}

std::size_t pieceAtByte(const ListedLine& listed, std::size_t byte) {
    std::size_t k = 0;
    while (k + 1 < listed.pieces.size() && listed.pieces[k + 1].byte <= byte) ++k;
    return k;
}

std::size_t pieceAtText(const ListedLine& listed, std::size_t column) {
    std::size_t k = 0;
    while (k + 1 < listed.pieces.size() && listed.pieces[k + 1].text <= column) ++k;
    return k;
}

bool isLiteral(const ListedLine& listed, std::size_t k) { return listed.text[listed.pieces[k].text] == '{'; }

}  // namespace

LineLister::LineLister(const Platform& platform)
    : tables_(listingTablesOf(platform)), checker_(platform) {}

void LineLister::compose(std::span<const unsigned char> bytes, ListedLine& out) const {
    out.text.clear();
    out.pieces.clear();
    out.spacesOutsideStrings = false;
    out.remark = std::string::npos;
    out.remarkOnly = false;
    ListingMode mode = ListingMode::Program;
    std::size_t run = 0;  // where the current run of plain program text began
    for (std::size_t i = 0; i < bytes.size();) {
        out.pieces.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(out.text.size())});
        Choice choice = escaped_[i] ? Choice{} : choose(tables_, bytes.subspan(i), mode);
        if (choice.length != 0 && mode == ListingMode::Program) {
            const std::size_t from = std::max(run, out.text.size() < 3 ? 0 : out.text.size() - 3);
            if (spellsModeWord(tables_, std::string_view(out.text).substr(from), choice.text)) choice = {};
        }
        if (choice.length == 0) {
            appendLiterals(bytes.subspan(i, 1), out.text);
            run = out.text.size();
            ++i;
            continue;
        }
        if (mode == ListingMode::Program && choice.text == " ") out.spacesOutsideStrings = true;
        const bool startsRemark = mode == ListingMode::Program && choice.after == ListingMode::Remark;
        if (startsRemark && out.remark == std::string::npos) {
            out.remarkOnly = out.text.find_first_not_of(" :") == std::string::npos;
            out.remark = out.text.size() + choice.text.size();
        }
        out.text += choice.text;
        if (choice.after != mode || mode != ListingMode::Program) run = out.text.size();
        mode = choice.after;
        i += choice.length;
    }
}

// An "&" followed by P=, C=, I= or E= would be a directive.
bool LineLister::escapeDirectives(const ListedLine& listed) {
    bool changed = false;
    for (std::size_t k = 0; k < listed.pieces.size(); ++k) {
        const std::size_t at = listed.pieces[k].text;
        if (listed.text[at] != '&' || at + 2 >= listed.text.size() || listed.text[at + 2] != '=') continue;
        if (std::string_view("PCIE").find(listed.text[at + 1]) == std::string_view::npos) continue;
        escaped_[listed.pieces[k].byte] = 1;
        changed = true;
    }
    return changed;
}

// Builds the text again; where it gives other bytes, the piece at the first
// difference (or the nearest plain one before it) becomes token literals.
// False when the text already gives `bytes`.
bool LineLister::escapeFirstDifference(std::span<const unsigned char> bytes, const ListedLine& listed) {
    std::size_t k = 0;
    if (auto error = checker_.read(listed.text, rebuilt_)) {
        k = pieceAtText(listed, static_cast<std::size_t>(std::max(error->column, 0)));
    } else {
        const auto difference = std::mismatch(bytes.begin(), bytes.end(), rebuilt_.begin(), rebuilt_.end());
        if (difference.first == bytes.end() && difference.second == rebuilt_.end()) return false;
        k = pieceAtByte(listed, static_cast<std::size_t>(difference.first - bytes.begin()));
    }
    while (k > 0 && isLiteral(listed, k)) --k;
    if (listed.pieces.empty() || isLiteral(listed, k)) {
        std::fill(escaped_.begin(), escaped_.end(), 1);
    } else {
        escaped_[listed.pieces[k].byte] = 1;
    }
    return true;
}

void LineLister::list(std::span<const unsigned char> bytes, ListedLine& out) {
    escaped_.assign(bytes.size(), 0);
    for (int round = 0; round < kRepairRounds; ++round) {
        compose(bytes, out);
        if (escapeDirectives(out)) continue;
        if (!escapeFirstDifference(bytes, out)) return;
    }
    std::fill(escaped_.begin(), escaped_.end(), 1);
    compose(bytes, out);
}

}  // namespace lintrel
