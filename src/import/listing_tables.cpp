#include "import/listing_tables.h"

#include <algorithm>
#include <optional>

#include "import/typed_line.h"

namespace lintrel {
namespace {

using Bytes = std::vector<unsigned char>;

// Characters that the notation reads specially, or that cannot stand in a
// line: never written plain.
bool isReserved(unsigned char c) {
    if (c < 0x20 || (c >= 0x80 && c <= 0x8F)) return true;  // controls, and the nibble characters
    return c == '|' || c == '{' || c == '}' || c == '\\' || c == '"';
}

class TableBuilder {
public:
    explicit TableBuilder(const Platform& platform) : platform_(platform), reader_(platform) {}

    ListingTables build();

private:
    std::optional<Bytes> read(std::string_view text) {
        Bytes bytes;
        if (reader_.read(text, bytes) || bytes.empty()) return std::nullopt;
        return bytes;
    }
    void addProgram(const Bytes& bytes, const std::string& text, ListingMode after);
    void addQuoted(const Bytes& bytes, const std::string& text);
    void addModeWords();
    void addKeywords();
    void addCharacters();
    void addNames();

    const Platform& platform_;
    TypedLineReader reader_;
    ListingTables tables_;
};

Bytes codeBytes(std::string_view code) {
    Bytes bytes;
    for (std::size_t i = 0; i + 4 <= code.size(); i += 4) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(std::string(code.substr(i + 1, 2)), nullptr, 16)));
    }
    return bytes;
}

bool sameRun(const Spelling& run, const Bytes& bytes) { return run.bytes == bytes; }

void TableBuilder::addProgram(const Bytes& bytes, const std::string& text, ListingMode after) {
    if (bytes.size() == 1) {
        if (!tables_.program[bytes[0]].empty()) return;  // an earlier spelling wins
        tables_.program[bytes[0]] = text;
        tables_.programAfter[bytes[0]] = after;
        return;
    }
    auto& runs = tables_.programRuns;
    if (std::none_of(runs.begin(), runs.end(), [&](const Spelling& run) { return sameRun(run, bytes); }))
        runs.push_back({bytes, text, after});
}

void TableBuilder::addQuoted(const Bytes& bytes, const std::string& text) {
    if (bytes.size() == 1) {
        if (tables_.quoted[bytes[0]].empty()) tables_.quoted[bytes[0]] = text;
        return;
    }
    auto& runs = tables_.quotedRuns;
    if (std::none_of(runs.begin(), runs.end(), [&](const Spelling& run) { return sameRun(run, bytes); }))
        runs.push_back({bytes, text, ListingMode::String});
}

// The words that start a remark or DATA items come first, with the mode they
// leave; then the double quote that opens a string.
void TableBuilder::addModeWords() {
    tables_.modeWords.push_back("REM");
    if (auto bytes = read("REM")) addProgram(*bytes, "REM", ListingMode::Remark);
    if (!platform_.apostropheRemark.empty()) {
        if (auto bytes = read("'")) addProgram(*bytes, "'", ListingMode::Remark);
    }
    if (!platform_.dataKeyword.empty()) {
        const std::string data(platform_.dataKeyword);
        tables_.modeWords.push_back(data);
        if (auto bytes = read(data)) addProgram(*bytes, data, ListingMode::Data);
    }
    if (auto bytes = read("\"")) addProgram(*bytes, "\"", ListingMode::String);
}

// Rows in stored order, so the first of several that share a code names it;
// a row whose text does not build to its code (one that an earlier row hides,
// the apostrophe row) spells nothing.
void TableBuilder::addKeywords() {
    for (const KeywordRow& row : platform_.keywords) {
        const std::string text(row.text);
        const auto bytes = read(text);
        if (bytes && *bytes == codeBytes(row.code)) addProgram(*bytes, text, ListingMode::Program);
    }
}

// A character that gives its own value first, then any other that gives a
// value no earlier spelling has.
void TableBuilder::addCharacters() {
    for (const bool identity : {true, false}) {
        for (unsigned v = 0x20; v < 0x100; ++v) {
            const auto c = static_cast<unsigned char>(v);
            if (isReserved(c)) continue;
            const std::string text(1, static_cast<char>(c));
            const bool apostrophe = c == '\'' && !platform_.apostropheRemark.empty();
            if (!apostrophe && !(c >= 'a' && c <= 'z')) {  // lower case reads as capitals outside strings
                if (auto bytes = read(text); bytes && (!identity || *bytes == Bytes{c}))
                    addProgram(*bytes, text, ListingMode::Program);
            }
            const auto quoted = read("\"" + text);
            if (!quoted || quoted->size() < 2 || (*quoted)[0] != '"') continue;
            const Bytes code(quoted->begin() + 1, quoted->end());
            if (!identity || code == Bytes{c}) addQuoted(code, text);
        }
    }
}

void TableBuilder::addNames() {
    tables_.dollarNames = read("AB$") == Bytes{0x61, 0x42} && read("A$") == Bytes{0x61};
    tables_.parenNames = read("AB(") == Bytes{0x41, 0x02} && read("A(") == Bytes{0x41, 0x1F};
}

void indexRuns(const std::vector<Spelling>& runs, std::array<std::vector<std::uint16_t>, 256>& at) {
    for (std::size_t k = 0; k < runs.size(); ++k) at[runs[k].bytes[0]].push_back(static_cast<std::uint16_t>(k));
}

ListingTables TableBuilder::build() {
    addModeWords();
    addKeywords();
    addCharacters();
    addNames();
    auto longestFirst = [](const Spelling& a, const Spelling& b) { return a.bytes.size() > b.bytes.size(); };
    std::stable_sort(tables_.programRuns.begin(), tables_.programRuns.end(), longestFirst);
    std::stable_sort(tables_.quotedRuns.begin(), tables_.quotedRuns.end(), longestFirst);
    indexRuns(tables_.programRuns, tables_.programRunsAt);
    indexRuns(tables_.quotedRuns, tables_.quotedRunsAt);
    return std::move(tables_);
}

struct AllTables {
    std::vector<const Platform*> platforms;
    std::vector<ListingTables> tables;
};

AllTables makeAllTables() {
    AllTables all;
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.characters.empty()) continue;
        all.platforms.push_back(&platform);
        all.tables.push_back(TableBuilder(platform).build());
    }
    return all;
}

}  // namespace

const ListingTables& listingTablesOf(const Platform& platform) {
    static const AllTables all = makeAllTables();
    for (std::size_t i = 0; i < all.platforms.size(); ++i) {
        if (all.platforms[i] == &platform) return all.tables[i];
    }
    static const ListingTables none;
    return none;
}

}  // namespace lintrel
