// Listings holding the characters the project notation reads specially, and
// the boundaries of the import: every row imports to a project that builds,
// with no warning, to exactly the bytes the listing stands for.
#include <gtest/gtest.h>

#include "golden/compile_project.h"
#include "import/import.h"
#include "import/numbered_listing.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

ImportedProject importText(const Platform& platform, std::string_view listing, bool lenient = false,
                           std::optional<Renumbering> renumber = std::nullopt) {
    ImportRequest request;
    request.bytes = listing;
    request.fileName = "listing.bas";
    request.platform = &platform;
    request.lenient = lenient;
    request.renumber = renumber;
    return importProgram(request);
}

// The project's build: its lines as number and bytes (a text platform's
// lines split after the number), and its warnings.
struct Rebuilt {
    std::vector<std::pair<long, std::string>> lines;
    std::vector<std::string> warnings;
    std::string error;
};

Rebuilt rebuild(const Platform& platform, const std::string& project) {
    BuildOptions options;
    options.removeSpaces = false;
    const BuildResult built = buildText(project, options);
    Rebuilt rebuilt;
    for (const Diagnostic& warning : built.warnings) rebuilt.warnings.push_back(warning.message);
    const ExportResult exported = makeOutputFile(built);
    if (built.error || exported.error) {
        rebuilt.error = built.error ? built.error->message : exported.error->message;
        return rebuilt;
    }
    if (platform.reader != nullptr) {
        const Program lines = platform.reader(exported.file.bytes).program;
        for (std::size_t j = 0; j < lines.size(); ++j) rebuilt.lines.emplace_back(lines.number(j), lines.text(j));
        return rebuilt;
    }
    const std::string text(exported.file.bytes.begin(), exported.file.bytes.end());
    forEachLine(text, [&](std::string_view line) {
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        std::size_t textStart = digits;
        if (platform.lineNumberForm == LineNumberForm::DecimalSpace) ++textStart;
        rebuilt.lines.emplace_back(std::stol(std::string(line.substr(0, digits))),
                                   std::string(line.substr(std::min(textStart, line.size()))));
        return true;
    });
    return rebuilt;
}

// The lines the listing stands for: what the machine's editor stores.
std::vector<std::pair<long, std::string>> typedLines(const Platform& platform, std::string_view listing) {
    std::vector<std::pair<long, std::string>> lines;
    const ListingReading reading = readNumberedListing(listing, platform, false);
    const Program& program = reading.program.lines;
    for (std::size_t j = 0; j < program.size(); ++j) lines.emplace_back(program.number(j), program.text(j));
    return lines;
}

// Each character the notation gives a meaning to, inside strings, remarks
// and DATA, and at the start of a line; on every platform.
const char* const kSpecialLines[] = {
    "10 PRINT \"A|B\";TAB(30);\"-180|+180\"\n",
    "20 REM x|y \\z {41} &C=5 &P=HT\n",
    "30 DATA 1|2,\"\\l10\",&I=3\n",
    "40 PRINT \"\t\" : GOTO 010\n",
    "50 &X=1\n",
    "60 \\X\n",
    "70 PRINT \"&E=run\" | comment?\n",
};

TEST(TypedCharacters, EveryCharacterComesBackOnEveryPlatform) {
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.id.empty()) continue;
        // The lines the machine can hold: the HL3 and the Primo have no "\\".
        std::string listing;
        std::size_t kept = 0;
        for (const char* line : kSpecialLines) {
            if (readNumberedListing(line, platform, false).error) continue;
            listing += line;
            ++kept;
        }
        const bool noBackslash = platform.id == "HL3" || platform.id == "PRIMO";
        EXPECT_EQ(kept, std::size(kSpecialLines) - (noBackslash ? 3 : 0)) << platform.id;
        const ImportedProject project = importText(platform, listing);
        ASSERT_TRUE(project.ok()) << platform.id << ": " << describeImportMessage("l", *project.error, "error");
        EXPECT_TRUE(project.warnings.empty()) << platform.id;
        const Rebuilt rebuilt = rebuild(platform, project.text);
        ASSERT_EQ(rebuilt.error, "") << platform.id << "\n" << project.text;
        EXPECT_EQ(rebuilt.warnings, std::vector<std::string>{}) << platform.id << "\n" << project.text;
        EXPECT_EQ(rebuilt.lines, typedLines(platform, listing)) << platform.id << "\n" << project.text;
    }
}

// What the machine stores for a typed line: nothing after "|" is lost.
TEST(TypedCharacters, TheBytesOfATypedLine) {
    struct Row {
        const char* platform;
        const char* listing;
        std::string bytes;
    };
    const Row rows[] = {
        {"HT", "10 PRINT \"A|B\"", "\xB2 \"A|B\""},
        {"HT", "10 REM x|y", "\x93 x|y"},
        {"HT", "10 PRINT \"&C=1\"", "\xB2 \"&C=1\""},
        {"HT", "10 PRINT \"{41}\"", "\xB2 \"A\""},  // where the machine has no "{", a token literal
        {"BASIC", "10 PRINT \"{41}|\"", "PRINT \"{41}|\""},  // where it has, the text as typed
        {"ABC80", "10001 10000", " 10000"},  // the space keeps the number and the text apart
        {"BASIC", "10 PRINT\t\"A\"", "PRINT\t\"A\""},
    };
    for (const Row& row : rows) {
        const ListingReading reading = readNumberedListing(row.listing, *findPlatform(row.platform), false);
        ASSERT_FALSE(reading.error) << row.listing << ": " << reading.error->text;
        ASSERT_EQ(reading.program.lines.size(), 1u);
        EXPECT_EQ(reading.program.lines.text(0), row.bytes) << row.platform << ": " << row.listing;
    }
}

// Ordinary listings that once ended in "does not build back".
TEST(TypedCharacters, ListingsThatOnceFailedImport) {
    struct Row {
        const char* platform;
        const char* listing;
    };
    const Row rows[] = {
        {"PRIMO", "10 PRINT 1\n20 GOTO 010\n"}, {"HL2", "10 PRINT 1\n20 GOTO 010\n"},
        {"HL3", "10 PRINT 1\n20 GOTO 010\n"},   {"HT", "10 PRINT 1\n20 GOTO 0010\n"},
        {"TVC", "10 PRINT 1\n20 GOTO 010\n"},   {"ABC80", "10001 10000\n10002 GOTO 10001\n"},
        {"BASIC", "10 A$=\"&C=5\"\n"},          {"ABC80", "10 PRINT \"&P=HT\"\n"},
        {"HT", "10 IF A THEN 20ELSE 30\n20 REM REMOVE\n30 REM READ THE DATA\n40 GOTO 20\n"},
        {"HT", "10 REM A\n20 REM AB\n30 GOTO 10B\n40 GOTO 20\n"},
        {"BASIC", "10 print \"lower\": goto 10\n"},
    };
    for (const Row& row : rows) {
        const Platform& platform = *findPlatform(row.platform);
        const ImportedProject project = importText(platform, row.listing);
        ASSERT_TRUE(project.ok()) << row.platform << ": " << row.listing << ": " << project.error->text;
        const Rebuilt rebuilt = rebuild(platform, project.text);
        EXPECT_EQ(rebuilt.warnings, std::vector<std::string>{}) << row.listing << "\n" << project.text;
        EXPECT_EQ(rebuilt.lines, typedLines(platform, row.listing)) << row.listing << "\n" << project.text;
    }
}

// A project that loses one character is refused at the listing's line,
// naming the character.
TEST(TypedCharacters, AProjectThatLosesACharacterIsRefused) {
    const Platform& ht = *findPlatform("HT");
    const ListingReading reading = readNumberedListing("10 PRINT 1\n20 PRINT \"A|B\"\n", ht, false);
    ASSERT_FALSE(reading.error);
    const std::string losing = "&P=HT\r\n&C=10\r\n&I=10\r\nPRINT 1\r\nPRINT \"A|B\"\r\n";
    const auto error = checkBuildsBack(reading.program, losing);
    ASSERT_TRUE(error);
    EXPECT_EQ(describeImportMessage("l.bas", *error, "error"),
              "l.bas:2: error: Internal error: the imported project does not build back to the program (line 20, "
              "character 5: the program has \"|\" (7C), the project's build nothing); please report it.");
    const std::string whole = "&P=HT\r\n&C=10\r\n&I=10\r\nPRINT 1\r\nPRINT \"A{7C}B\"\r\n";
    EXPECT_FALSE(checkBuildsBack(reading.program, whole));
    const ListingReading basic = readNumberedListing("10 PRINT \"a\"\n", *findPlatform("BASIC"), false);
    const auto upper = checkBuildsBack(basic.program, "&P=BASIC\r\n&C=10\r\nPRINT \"a\"\r\n");
    ASSERT_TRUE(upper);
    EXPECT_NE(upper->text.find("the program has \"a\" (61), the project's build \"A\" (41)"), std::string::npos)
        << upper->text;
}

// The largest line number a platform has imports; the next is refused.
// Renumbering may end exactly on it.
TEST(Boundaries, TheLargestLineNumber) {
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.id.empty() || platform.reportedMaximum == kNoLineNumberLimit) continue;
        const long largest = platform.reportedMaximum;
        const std::string at = "1 PRINT\n" + std::to_string(largest) + " GOTO 1\n";
        const ImportedProject fits = importText(platform, at);
        EXPECT_TRUE(fits.ok()) << platform.id << ": " << fits.error->text;
        const std::string past = "1 PRINT\n" + std::to_string(largest + 1) + " GOTO 1\n";
        const ImportedProject refused = importText(platform, past);
        ASSERT_FALSE(refused.ok()) << platform.id;
        EXPECT_EQ(refused.error->text, "Line " + std::to_string(largest + 1) + " cannot be built: line numbers on " +
                                           std::string(platform.id) + " run from 1 to " + std::to_string(largest) +
                                           " (--renumber gives new ones).");
        // Two lines from START in steps of 10: the number after the second
        // (what the build counts up to) may be the platform's limit.
        const long limit = platform.lineNumberLimit;
        const ImportedProject renumbered =
            importText(platform, "10 PRINT\n20 GOTO 10\n", false, Renumbering{limit - 20, 10});
        EXPECT_TRUE(renumbered.ok()) << platform.id << ": " << renumbered.error->text;
        const ImportedProject beyond =
            importText(platform, "10 PRINT\n20 GOTO 10\n", false, Renumbering{limit - 19, 10});
        EXPECT_FALSE(beyond.ok()) << platform.id;
    }
}

TEST(Boundaries, TheListingReadersLargestNumber) {
    const Platform& basic = *findPlatform("BASIC");
    const ImportedProject largest = importText(basic, "999999999 END\n");
    EXPECT_TRUE(largest.ok()) << largest.error->text;
    const ImportedProject past = importText(basic, "1000000000 END\n");
    ASSERT_FALSE(past.ok());
    EXPECT_EQ(past.error->text, "The line number is too large.");
}

TEST(Boundaries, AJumpToLineZeroIsAReference) {
    const ImportedProject project = importText(*findPlatform("HT"), "10 GOTO 0\n");
    ASSERT_TRUE(project.ok());
    ASSERT_EQ(project.warnings.size(), 1u);
    EXPECT_EQ(project.warnings[0].text, "Line 0 does not exist in this program.");
}

// A listing too large for its machine says so itself.
TEST(Boundaries, AListingTooLargeForItsMachine) {
    std::string listing;
    for (int number = 1; number <= 700; ++number) listing += std::to_string(number) + " REM " + std::string(90, 'X') + "\n";
    const ImportedProject project = importText(*findPlatform("TVC"), listing);
    ASSERT_FALSE(project.ok());
    EXPECT_EQ(project.error->text.rfind("The program is too large for TVC", 0), 0u) << project.error->text;
    EXPECT_GE(project.error->place.line, 0);
}

// `list` prints UTF-8; the import reads it back, with or without a mark.
TEST(Encodings, Utf8ListingsReadAsCodePage1250) {
    const Platform& ht = *findPlatform("HT");
    const ImportedProject plain = importText(ht, "10 PRINT \"\xC3\xA9\"\n");
    ASSERT_TRUE(plain.ok()) << plain.error->text;
    EXPECT_NE(plain.text.find("PRINT \"\xE9\""), std::string::npos) << plain.text;
    const ImportedProject marked = importText(ht, "\xEF\xBB\xBF" "10 PRINT \"\xC3\xA9\"\n");
    ASSERT_TRUE(marked.ok()) << marked.error->text;
    EXPECT_EQ(marked.text, plain.text);
    const ImportedProject broken = importText(ht, "\xEF\xBB\xBF" "10 PRINT 1\n20 PRINT \"\xE9\"\n");
    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(describeImportMessage("l", *broken.error, "error").substr(0, 12), "l:2:11: erro");
    EXPECT_TRUE(importText(ht, "10 PRINT \"\xE9\"\n").ok());  // code page 1250 as before
}

}  // namespace
}  // namespace lintrel
