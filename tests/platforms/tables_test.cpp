// Keyword and character tables: the quirks that must sit at their stored
// places, and the properties the keyword pass and the lookups rely on.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platforms/platforms.h"

namespace lintrel {
namespace {

const Platform& platform(std::string_view id) {
    const Platform* found = findPlatform(id);
    if (found == nullptr) throw std::invalid_argument(std::string(id));
    return *found;
}

// The code of the first row whose source equals `source`, as the lookups do; empty when none.
std::string_view characterCode(const Platform& target, std::string_view source) {
    for (const CharacterRow& row : target.characters) {
        if (row.source == source) return row.code;
    }
    return {};
}

std::string literal(unsigned value) {
    static const char* const digits = "0123456789ABCDEF";
    return {'{', digits[value / 16], digits[value % 16], '}'};
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

const char* const kTokenizing[] = {"HL2", "HL3", "PRIMO", "HT", "TVC"};

void expectKeyword(std::string_view id, std::size_t row, std::string_view text, std::string_view code) {
    const auto& keywords = platform(id).keywords;
    ASSERT_LT(row, keywords.size()) << id;
    EXPECT_EQ(keywords[row].text, text) << id << " row " << row;
    EXPECT_EQ(keywords[row].code, code) << id << " row " << row;
}

TEST(KeywordTables, Homelab3QuirksAtTheirRows) {
    expectKeyword("HL3", 5, "INKEY$", "{8C}{24}");
    expectKeyword("HL3", 14, "INKEY", "{8C}");
    expectKeyword("HL3", 64, "FSW((", "{DC}");
    expectKeyword("HL3", 69, "EXP((", "{C3}");
    expectKeyword("HL3", 94, "$", "{E2}");
    expectKeyword("HL3", 95, "%", "{E1}");
}

TEST(KeywordTables, PrimoQuirksAtTheirRows) {
    expectKeyword("PRIMO", 0, "'", "{FB}");
    expectKeyword("PRIMO", 14, "VARPTR", "{C0}");
    expectKeyword("PRIMO", 30, "USING", "{BF}");
    expectKeyword("PRIMO", 40, "ELSE", "{3A}{95}");
    expectKeyword("PRIMO", 53, "TAB(", "{BC}");
    expectKeyword("PRIMO", 86, "INZ", "{D8}");
    expectKeyword("PRIMO", 111, "FN", "{AC}");
    expectKeyword("PRIMO", 113, "FN", "{BE}");  // repeated, so it never matches
}

TEST(KeywordTables, HtRowsFollowTheMachinesTokens) {
    expectKeyword("HT", 0, "'", "{FB}");
    expectKeyword("HT", 12, "DELETE", "{B6}");
    expectKeyword("HT", 13, "VARPTR", "{C0}");
    expectKeyword("HT", 25, "LLIST", "{B5}");
    expectKeyword("HT", 29, "USING", "{BF}");
    expectKeyword("HT", 39, "ELSE", "{3A}{95}");
    expectKeyword("HT", 53, "AUTO", "{B7}");
    expectKeyword("HT", 54, "USR", "{C1}");
    expectKeyword("HT", 81, "TAB(", "{BC}");
    for (const KeywordRow& row : platform("HT").keywords) EXPECT_NE(row.text, "TAB");
}

TEST(KeywordTables, OnlyTheDocumentedCodesSpanSeveralLiterals) {
    std::set<std::string> multi;
    for (const char* id : kTokenizing) {
        for (const KeywordRow& row : platform(id).keywords) {
            if (row.code.size() > 4) multi.insert(std::string(id) + " " + std::string(row.text));
        }
    }
    EXPECT_EQ(multi, (std::set<std::string>{"HL3 INKEY$", "HT ELSE", "PRIMO ELSE"}));
}

// Which single bytes have a row at all: everything else is reported as having no code.
std::set<int> bytesWithRows(const Platform& target) {
    std::set<int> bytes;
    for (const CharacterRow& row : target.characters) {
        if (row.source.size() == 1) bytes.insert(static_cast<unsigned char>(row.source[0]));
    }
    return bytes;
}

std::set<int> range(int first, int last, std::set<int> more = {}) {
    for (int v = first; v <= last; ++v) more.insert(v);
    return more;
}

const std::set<int> kAccented = {0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xD6, 0xD5, 0xDC, 0xDB,
                                 0xE1, 0xE9, 0xED, 0xF3, 0xFA, 0xF6, 0xF5, 0xFC, 0xFB};

TEST(CharacterTables, ExactlyTheDocumentedBytesHaveRows) {
    const std::set<int> ascii = range(0x20, 0x5F, range('a', 'z'));
    EXPECT_EQ(bytesWithRows(platform("HL2")), ascii);
    EXPECT_EQ(bytesWithRows(platform("HT")), ascii);  // accented letters only through their UTF-8 rows
    EXPECT_EQ(bytesWithRows(platform("TVC")), range(0x20, 0x5F, range('a', 'z', kAccented)));
    EXPECT_EQ(bytesWithRows(platform("HL3")),
              range(0x20, 0x3F, range('A', 'Z', range('a', 'z', range('^', '_', kAccented)))));
    EXPECT_EQ(
        bytesWithRows(platform("PRIMO")),
        range(0x20, 0x3F,
              range('A', 'Z',
                    range('a', 'z', {0xC9, 0xF3, 0xD6, 0xC1, 0xDC, 0xFA, 0xE9, 0xF5, 0xF6, 0xED, 0xFC}))));
}

TEST(CharacterTables, PlainCharactersKeepTheirOwnCodes) {
    for (const char* id : kTokenizing) {
        const Platform& target = platform(id);
        for (int v : bytesWithRows(target)) {
            if (v >= 0x80 || v == '_') continue;  // accented letters and HL3 "_" are mapped below
            const bool folded = std::string_view(id) == "HL2" && v >= 'a' && v <= 'z';
            std::string code(characterCode(target, std::string(1, static_cast<char>(v))));
            for (char& c : code) c = upper(c);  // TVC writes lower-case hex digits
            EXPECT_EQ(code, literal(folded ? v - 'a' + 'A' : v)) << id << " byte " << v;
        }
    }
}

TEST(CharacterTables, Homelab3QuirksAtTheirRows) {
    const auto& rows = platform("HL3").characters;
    // C and D are stored swapped, each keeping its own code.
    EXPECT_EQ(rows[33].source, "A");
    EXPECT_EQ(rows[34].source, "B");
    EXPECT_EQ(rows[35].source, "D");
    EXPECT_EQ(rows[35].code, "{44}");
    EXPECT_EQ(rows[36].source, "C");
    EXPECT_EQ(rows[36].code, "{43}");
    EXPECT_EQ(rows[37].source, "E");
    EXPECT_EQ(rows[58].source, "Z");
    EXPECT_EQ(rows[32].source, "\xC1");  // Á
    EXPECT_EQ(rows[32].code, "{40}");
    EXPECT_EQ(characterCode(platform("HL3"), "_"), "{20}");
    EXPECT_EQ(characterCode(platform("HL3"), "\xD6"), "{5C}");  // Ö
    EXPECT_EQ(characterCode(platform("HL3"), "\xD5"), "{5C}");  // Ő
    EXPECT_EQ(characterCode(platform("HL3"), "\xED"), "{A9}");  // í
    EXPECT_EQ(characterCode(platform("HL3"), "\xCD"), "{A9}");  // Í
    EXPECT_EQ(characterCode(platform("HL3"), "@"), "");
    EXPECT_EQ(rows[103].source, "\xFB");  // ű
    EXPECT_EQ(rows[103].code, "{BD}");
}

TEST(CharacterTables, PrimoRepeatsUAcuteAndTheFirstRowWins) {
    const auto& rows = platform("PRIMO").characters;
    EXPECT_EQ(rows[63].source, "\xFA");
    EXPECT_EQ(rows[63].code, "{5F}");
    EXPECT_EQ(rows[95].source, "\xFA");
    EXPECT_EQ(rows[95].code, "{7F}");
    EXPECT_EQ(characterCode(platform("PRIMO"), "\xFA"), "{5F}");
    EXPECT_EQ(rows[32].source, "\xC9");  // É
    EXPECT_EQ(rows[32].code, "{40}");
    EXPECT_EQ(rows[64].source, "\xE9");  // é
    EXPECT_EQ(rows[64].code, "{60}");
}

TEST(CharacterTables, TvcWritesLowerCaseHexLetters) {
    const auto& rows = platform("TVC").characters;
    EXPECT_EQ(rows[10].source, "*");
    EXPECT_EQ(rows[10].code, "{2a}");
    EXPECT_EQ(rows[42].source, "J");
    EXPECT_EQ(rows[42].code, "{4a}");
    EXPECT_EQ(rows[89].source, "z");
    EXPECT_EQ(rows[89].code, "{7a}");
    for (std::size_t i = 90; i < rows.size(); ++i) {
        for (char c : rows[i].code) EXPECT_FALSE(c >= 'a' && c <= 'f') << "row " << i;
    }
    EXPECT_EQ(characterCode(platform("TVC"), "\xDB"), "{88}");  // Ű
    EXPECT_EQ(characterCode(platform("TVC"), "\xFB"), "{98}");  // ű
    EXPECT_EQ(characterCode(platform("TVC"), "\xE9"), "{91}");  // é
}

TEST(CharacterTables, HtAccentedRowsAreReachedThroughUtf8Letter) {
    const Platform& ht = platform("HT");
    for (std::size_t i = 0; i < ht.characters.size(); ++i) {
        const bool accented = i >= 90;
        EXPECT_EQ(ht.characters[i].source.size(), accented ? 2u : 1u) << "row " << i;
        EXPECT_EQ(ht.characters[i].code.size(), accented ? 8u : 4u) << "row " << i;
        if (accented) {
            EXPECT_EQ(ht.characters[i].code.substr(0, 4), "{60}") << "row " << i;
        }
    }
    std::set<std::string_view> codes;
    for (int v : kAccented) {
        const std::string_view form = utf8Letter(static_cast<char>(v));
        const std::string_view code = characterCode(ht, form);
        EXPECT_EQ(code.size(), 8u) << "byte " << v;
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 18u);
    EXPECT_EQ(characterCode(ht, utf8Letter('\xC1')), "{60}{00}");  // Á
    EXPECT_EQ(characterCode(ht, utf8Letter('\xDA')), "{60}{06}");  // Ú comes before Ö in the table
    EXPECT_EQ(characterCode(ht, utf8Letter('\xD6')), "{60}{04}");  // Ö
    EXPECT_EQ(characterCode(ht, utf8Letter('\xFB')), "{60}{18}");  // ű
    EXPECT_EQ(ht.characters[94].source, "\xC3\x9A");               // Ú at row 94
    EXPECT_EQ(characterCode(ht, "\xC1"), "");                      // the plain byte itself has no row
}

}  // namespace
}  // namespace lintrel
