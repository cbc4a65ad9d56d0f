// The document store: whole and incremental changes give the editor's text
// and the build's code page 1250 lines; columns convert between UTF-16 and
// bytes where characters take two UTF-16 units or have no byte.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lsp/document.h"
#include "text/code_page_1250.h"

namespace lintrel::lsp {
namespace {

struct Change {
    std::optional<Range> range;
    const char* text;
};

struct SyncCase {
    const char* name;
    const char* opened;
    std::vector<Change> changes;
    const char* text;                 // the editor's text after, lines joined with LF
    std::vector<std::string> lines;   // the lines as the build reads them, shown as UTF-8
};

Range at(int line, int from, int to) { return {{line, from}, {line, to}}; }

const std::vector<SyncCase> kSyncCases = {
    {"CR LF, LF and a lone CR all end lines; a final break starts an empty line", "a\r\nb\nc\rd\n", {}, "a\nb\nc\nd\n",
     {"a", "b", "c", "d", ""}},
    {"accents become their code page bytes", "PRINT \"ŐŰőűÁ€\"", {}, "PRINT \"ŐŰőűÁ€\"", {"PRINT \"ŐŰőűÁ€\""}},
    {"an insertion inside a line", "GOTO \\a", {{at(0, 6, 6), "bc"}}, "GOTO \\bca", {"GOTO \\bca"}},
    {"a replacement across lines", "one\ntwo\nthree", {{Range{{0, 1}, {2, 3}}, "X"}}, "oXee", {"oXee"}},
    {"an insertion of lines", "one\nthree", {{at(0, 3, 3), "\r\ntwo"}}, "one\ntwo\nthree", {"one", "two", "three"}},
    {"a deletion of a whole line", "one\ntwo\nthree", {{Range{{1, 0}, {2, 0}}, ""}}, "one\nthree", {"one", "three"}},
    {"changes apply one after another", "ab", {{at(0, 2, 2), "c"}, {at(0, 0, 1), ""}, {std::nullopt, "new\ntext"}},
     "new\ntext", {"new", "text"}},
    {"UTF-16 columns after a character of two units", "😀ab\nx", {{at(0, 3, 4), "Z"}}, "😀aZ\nx", {"?aZ", "x"}},
    {"a column inside a surrogate pair stops before the character", "😀b", {{at(0, 1, 1), "<"}}, "<😀b", {"<?b"}},
    {"a foreign character leaves its line when it is deleted", "AΔB\nC", {{at(0, 1, 2), ""}}, "AB\nC", {"AB", "C"}},
    {"a range past the end is taken up to the end", "ab\ncd", {{Range{{1, 1}, {9, 9}}, "!"}}, "ab\nc!", {"ab", "c!"}},
    {"a column past a line's end is its end", "ab\ncd", {{at(0, 40, 40), "+"}}, "ab+\ncd", {"ab+", "cd"}},
    {"an end before the start is taken the other way round", "abcd", {{Range{{0, 3}, {0, 1}}, "-"}}, "a-d", {"a-d"}},
    {"the undefined code page values round-trip through their C1 controls", "\u0081\u0098", {}, "\u0081\u0098",
     {"\u0081\u0098"}},
};

TEST(Document, ChangesGiveTheTextAndTheLines) {
    for (const SyncCase& testCase : kSyncCases) {
        SCOPED_TRACE(testCase.name);
        Document document(testCase.opened);
        for (const Change& change : testCase.changes) document.applyChange(change.range, change.text);
        EXPECT_EQ(document.utf8Text(), testCase.text);
        std::vector<std::string> shown;
        for (const std::string& line : document.lines()) shown.push_back(utf8FromCodePage1250(line));
        EXPECT_EQ(shown, testCase.lines);
    }
}

TEST(Document, ARangePastTheEndIsSaid) {
    Document document("ab\ncd");
    EXPECT_FALSE(document.applyChange(at(1, 0, 2), "x"));
    const auto problem = document.applyChange(Range{{1, 0}, {5, 0}}, "y");
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem, "a change at 2:1-6:1 reaches past the end of the document (2 lines); taken up to its end");
}

struct ColumnRow {
    int byteColumn;
    int utf16Column;
};

TEST(Document, ColumnsConvertBothWaysOnALineWithWideAndForeignCharacters) {
    // a 😀 b Δ Ő c: bytes a ? b ? Ő c; UTF-16 units 1 2 1 1 1 1
    const Document document("a😀bΔŐc");
    constexpr ColumnRow kRows[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}};
    for (const ColumnRow& row : kRows) {
        EXPECT_EQ(document.utf16Column(0, row.byteColumn), row.utf16Column) << row.byteColumn;
        EXPECT_EQ(document.byteColumn(0, row.utf16Column), row.byteColumn) << row.utf16Column;
    }
    EXPECT_EQ(document.byteColumn(0, 2), 1);  // inside the pair: before the character
    EXPECT_EQ(document.byteColumn(0, 99), 6);
    EXPECT_EQ(document.utf16Length(0), 7);
    const std::vector<ForeignCharacter> foreign = document.foreignCharacters();
    ASSERT_EQ(foreign.size(), 2u);
    EXPECT_EQ(foreign[0].codePoint, U'😀');
    EXPECT_EQ(foreign[0].byteColumn, 1);
    EXPECT_EQ(foreign[0].range, at(0, 1, 3));
    EXPECT_EQ(foreign[1].codePoint, U'Δ');
    EXPECT_EQ(foreign[1].range, at(0, 4, 5));
}

TEST(Document, MalformedUtf8ReadsAsOneForeignCharacterPerByte) {
    const Document document(std::string("a\xC3(\xF0\x9F") + "z");
    EXPECT_EQ(document.lines()[0], "a?(??z");
    EXPECT_EQ(document.foreignCharacters().size(), 3u);
    EXPECT_EQ(document.utf16Length(0), 6);
}

}  // namespace
}  // namespace lintrel::lsp
