#include "import/listing.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "import/listing_tables.h"

namespace lintrel {
namespace {

// Text checks and repairs a line needs at most before it builds back; past
// them every byte is written as a token literal, which always does.
constexpr int kRepairRounds = 8;

// One piece: how many stored bytes it stands for, its text, and the mode the
// line assembler is in after it. The text is the tables' own, or (a Homelab
// name) held here: no string is copied per piece.
struct Choice {
    std::size_t length = 0;  // 0: no spelling, a token literal
    std::string_view text;
    ListingMode after = ListingMode::Program;
    std::array<char, 3> own{};
    std::uint8_t ownSize = 0;

    std::string_view spelled() const { return ownSize != 0 ? std::string_view(own.data(), ownSize) : text; }
};

Choice named(std::size_t length, std::initializer_list<char> letters) {
    Choice choice;
    choice.length = length;
    for (const char c : letters) choice.own[choice.ownSize++] = c;
    return choice;
}

bool isCapital(unsigned c) { return c >= 'A' && c <= 'Z'; }

// The first run (longest first) that the bytes begin with; only the runs
// that start with the first byte are tried.
std::optional<Choice> matchRun(const std::vector<Spelling>& runs,
                               const std::array<std::vector<std::uint16_t>, 256>& runsAt,
                               std::span<const unsigned char> rest) {
    for (const std::uint16_t k : runsAt[rest[0]]) {
        const Spelling& run = runs[k];
        if (run.bytes.size() <= rest.size() && std::equal(run.bytes.begin() + 1, run.bytes.end(), rest.begin() + 1))
            return Choice{run.bytes.size(), run.text, run.after};
    }
    return std::nullopt;
}

// Homelab names: "AB$" is 61 42, "A$" 61, "AB(" 41 02, "A(" 41 1F.
std::optional<Choice> matchName(const ListingTables& tables, std::span<const unsigned char> rest) {
    const unsigned x = rest[0];
    const unsigned y = rest.size() > 1 ? rest[1] : 0x100;
    if (tables.dollarNames && x >= 0x61 && x <= 0x7A) {
        const char first = static_cast<char>(x - 0x20);
        if (isCapital(y)) return named(2, {first, static_cast<char>(y), '$'});
        return named(1, {first, '$'});
    }
    if (tables.parenNames && isCapital(x)) {
        if (y >= 0x01 && y <= 0x1A) return named(2, {static_cast<char>(x), static_cast<char>(y + 0x40), '('});
        if (y == 0x1F) return named(2, {static_cast<char>(x), '('});
    }
    return std::nullopt;
}

Choice choose(const ListingTables& tables, std::span<const unsigned char> rest, ListingMode mode) {
    const unsigned b = rest[0];
    switch (mode) {
        case ListingMode::Program:
            if (auto run = matchRun(tables.programRuns, tables.programRunsAt, rest)) return *run;
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
    if (auto run = matchRun(tables.quotedRuns, tables.quotedRunsAt, rest)) return {run->length, run->text, mode};
    if (tables.quoted[b].empty()) return {};
    return {1, tables.quoted[b], mode};
}

char upper(char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c); }

// Whether `text`, written after `tail` (the program text just before it),
// would spell REM or DATA across the join, which the assembler would take
// for the start of a remark or of DATA items.
bool spellsModeWord(const ListingTables& tables, std::string_view tail, std::string_view text) {
    auto joinedAt = [&](std::size_t i) { return i < tail.size() ? tail[i] : text[i - tail.size()]; };
    const std::size_t joined = tail.size() + text.size();
    for (const std::string& word : tables.modeWords) {
        for (std::size_t at = 0; at < tail.size() && at + word.size() <= joined; ++at) {
            std::size_t k = 0;
            while (k < word.size() && upper(joinedAt(at + k)) == upper(word[k])) ++k;
            if (k == word.size()) return true;
        }
    }
    return false;
}

void appendLiteral(unsigned char b, std::string& text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += '{';
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
    text += '}';
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
        std::string_view text = choice.spelled();
        if (choice.length != 0 && mode == ListingMode::Program) {
            const std::size_t from = std::max(run, out.text.size() < 3 ? 0 : out.text.size() - 3);
            if (spellsModeWord(tables_, std::string_view(out.text).substr(from), text)) choice = {};
        }
        if (choice.length == 0) {
            appendLiteral(bytes[i], out.text);
            run = out.text.size();
            ++i;
            continue;
        }
        if (mode == ListingMode::Program && text == " ") out.spacesOutsideStrings = true;
        const bool startsRemark = mode == ListingMode::Program && choice.after == ListingMode::Remark;
        if (startsRemark && out.remark == std::string::npos) {
            out.remarkOnly = out.text.find_first_not_of(" :") == std::string::npos;
            out.remark = out.text.size() + text.size();
        }
        out.text += text;
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

void LineLister::listUnchecked(std::span<const unsigned char> bytes, ListedLine& out) {
    escaped_.assign(bytes.size(), 0);
    for (int round = 0; round < kRepairRounds; ++round) {
        compose(bytes, out);
        if (!escapeDirectives(out)) return;
    }
    std::fill(escaped_.begin(), escaped_.end(), 1);
    compose(bytes, out);
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
