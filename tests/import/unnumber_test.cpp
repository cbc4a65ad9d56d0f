// Numbered programs to projects: reading typed listings, the numbering
// directives, the label names, and what becomes of references.
#include <gtest/gtest.h>

#include <random>

#include "golden/compile_project.h"
#include "images/ht_cas.h"
#include "import/import.h"
#include "import/label_names.h"
#include "import/numbering.h"

namespace lintrel {
namespace {

ImportedProject importListing(std::string_view platform, std::string_view listing, bool lenient = false,
                              std::optional<Renumbering> renumber = std::nullopt) {
    ImportRequest request;
    request.bytes = listing;
    request.fileName = "listing.bas";
    request.platform = findPlatform(platform);
    request.lenient = lenient;
    request.renumber = renumber;
    return importProgram(request);
}

// The project's lines from "&P=" on, joined with "/" for short comparisons.
std::string body(const ImportedProject& project) {
    std::string text;
    std::size_t at = project.text.find("&P=");
    while (at < project.text.size()) {
        const std::size_t end = project.text.find("\r\n", at);
        text += (text.empty() ? "" : "/") + project.text.substr(at, end - at);
        at = end + 2;
    }
    return text;
}

// The numbers a built HT project gives its lines.
std::vector<long> builtNumbers(const std::string& project) {
    const testing::CompiledProject built = testing::compileProject(project, false);
    EXPECT_FALSE(built.error) << built.error->message;
    const ImageReading reading = readHtImage(built.bytes);
    std::vector<long> numbers;
    for (std::size_t i = 0; i < reading.program.size(); ++i) numbers.push_back(reading.program.number(i));
    return numbers;
}

TEST(Numbering, DirectivesGiveTheNumbers) {
    struct Row {
        std::vector<long> numbers;
        long limit;
        const char* plan;  // per line: "C" and/or "I" with values, "-" for none
    };
    const Row rows[] = {
        {{10, 20, 30, 40}, 65530, "C10 I10|-|-|-"},
        {{10, 20, 25, 100, 1000, 1001}, 65530, "C10 I10|I5|-|C100|C1000 I1|-"},
        {{5}, 65530, "C5 I1"},
        {{100, 110, 120, 500, 510, 520}, 65530, "C100 I10|-|-|C500|-|-"},
        {{1, 2, 3, 10, 20, 30}, 65530, "C1 I1|-|-|C10 I10|-|-"},
        {{65520, 65529}, 65530, "C65520 I9|I1"},
        {{9000, 9999}, 10000, "C9000 I999|I1"},
    };
    for (const Row& row : rows) {
        std::string plan;
        for (const NumberingStep& step : planNumbering(row.numbers, row.limit)) {
            std::string cell;
            if (step.line) cell += "C" + std::to_string(*step.line);
            if (step.increment) cell += std::string(cell.empty() ? "" : " ") + "I" + std::to_string(*step.increment);
            plan += (plan.empty() ? "" : "|") + (cell.empty() ? "-" : cell);
        }
        EXPECT_EQ(plan, row.plan);
    }
}

TEST(Numbering, IrregularNumbersAreRebuiltExactly) {
    const ImportedProject project = importListing("HT",
                                                  "10 GOTO 1001\n20 GOSUB 25\n25 RETURN\n100 GOTO 1000\n"
                                                  "1000 GOTO 20\n1001 GOTO 100\n");
    ASSERT_TRUE(project.ok()) << project.error->text;
    EXPECT_EQ(builtNumbers(project.text), (std::vector<long>{10, 20, 25, 100, 1000, 1001}));
    EXPECT_EQ(body(project),
              "&P=HT/&C=10/&I=10/\tGOTO \\l1001/&I=5/\\l20\tGOSUB \\l25/\\l25\tRETURN/&C=100/"
              "\\l100\tGOTO \\l1000/&C=1000/&I=1/\\l1000\tGOTO \\l20/\\l1001\tGOTO \\l100");
}

TEST(Numbering, RenumberingCountsAfreshAndKeepsItsLimit) {
    const ImportedProject project =
        importListing("HT", "10 GOTO 30\n20 PRINT\n30 GOTO 10\n", false, Renumbering{100, 5});
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(body(project), "&P=HT/&C=100/&I=5/\\l10\tGOTO \\l30/\tPRINT/\\l30\tGOTO \\l10");
    EXPECT_EQ(builtNumbers(project.text), (std::vector<long>{100, 105, 110}));
    const ImportedProject tooFar =
        importListing("TVC", "10 PRINT\n20 PRINT\n", false, Renumbering{9995, 5});
    ASSERT_FALSE(tooFar.ok());
    EXPECT_EQ(tooFar.error->text, "Renumbering from 9995 in steps of 5 passes the largest line number of TVC (9999).");
}

TEST(LabelNames, FromRemarks) {
    const Platform& ht = *findPlatform("HT");
    const Platform& tvc = *findPlatform("TVC");
    struct Row {
        const Platform& platform;
        const char* remark;
        const char* name;
    };
    const Row rows[] = {
        {ht, " DRAW BOARD", "draw_board"},
        {ht, " *** SHOW THE RULES ***", "show_the_rules"},
        {ht, "Player 2's move", "player_2_s_move"},
        {ht, " REMOVE PIECE", "remove_piece"},  // a defined label's name starts no remark
        {ht, " READ THE DATA", "read_the_data"},  // nor DATA items
        {tvc, " READ THE DATA", "read_the_data"},
        {ht, " \xC9let \xE9s hal\xE1l", "elet_es_halal"},
        {ht, " COMPUTE THE NEXT MOVE OF THE PLAYER", "compute_the_next_move_of"},
        {ht, " ***", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(nameFromRemark(row.remark), row.name) << row.platform.id << row.remark;
    EXPECT_EQ(nameFromNumber(1000), "l1000");
}

TEST(LabelNames, AreUniqueWithoutLetterCase) {
    LabelNames names;
    EXPECT_EQ(names.claim("draw"), "draw");
    EXPECT_EQ(names.claim("draw"), "draw_2");
    EXPECT_EQ(names.claim("draw"), "draw_3");
    EXPECT_TRUE(names.taken("DRAW_2"));
    EXPECT_EQ(names.claim("compute_the_next_move_of"), "compute_the_next_move_of");
    EXPECT_EQ(names.claim("compute_the_next_move_of"), "compute_the_next_move_2");
}

TEST(LabelNames, ComeFromTheLineOrTheRemarkLineBeforeIt) {
    const ImportedProject project = importListing("HT",
                                                  "10 GOSUB 100:GOSUB 200:GOSUB 300:GOSUB 400\n"
                                                  "90 REM DRAW BOARD\n100 CLS\n"
                                                  "200 PRINT:REM SCORE\n"
                                                  "290 X=1:REM NOT A TITLE\n300 PRINT\n"
                                                  "400 ' DRAW BOARD\n");
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(body(project),
              "&P=HT/&C=10/&I=10/\tGOSUB \\draw_board:GOSUB \\score:GOSUB \\l300:GOSUB \\draw_board_2/"
              "&C=90/\tREM DRAW BOARD/\\draw_board\tCLS/&C=200/\\score\tPRINT:REM SCORE/&C=290/"
              "\tX=1:REM NOT A TITLE/\\l300\tPRINT/&C=400/\\draw_board_2\t' DRAW BOARD");
    EXPECT_EQ(project.labels, 4);
}

// "\draw" followed by "ELSE" would read as the longer label "\drawelse".
TEST(LabelNames, ANameThatWouldRunIntoTheNextLettersGivesWay) {
    const ImportedProject project = importListing("HT",
                                                  "10 IF A THEN 100ELSE 200\n100 REM DRAW\n"
                                                  "200 REM DRAWELSE\n210 GOTO 200\n");
    ASSERT_TRUE(project.ok()) << project.error->text;
    EXPECT_NE(project.text.find("THEN \\l100\tELSE"), std::string::npos) << project.text;
    EXPECT_NE(project.text.find("GOTO \\drawelse"), std::string::npos) << project.text;
}

TEST(References, ToMissingLinesStayNumbersAndWarn) {
    const ImportedProject project = importListing("HT", "10 GOTO 230\n20 GOSUB 10\n");
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(body(project), "&P=HT/&C=10/&I=10/\\l10\tGOTO 230/\tGOSUB \\l10");
    ASSERT_EQ(project.warnings.size(), 1u);
    EXPECT_EQ(describeImportMessage("x.bas", project.warnings[0], "warning"),
              "x.bas:1: warning: Line 230 does not exist in this program.");
}

TEST(References, InsideStringsRemarksAndDataAreText) {
    const ImportedProject project =
        importListing("HT", "10 PRINT \"GOTO 20\":REM GOTO 20\n20 DATA GOTO 10\n");
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(project.labels, 0);
    EXPECT_TRUE(project.warnings.empty());
}

TEST(TypedListings, StrictReadingNamesTheLine) {
    struct Row {
        const char* listing;
        const char* error;
    };
    const Row rows[] = {
        {"10 PRINT\nPRINT\n", "listing.bas:2: error: This line has no line number."},
        {"10 PRINT\n10 END\n", "listing.bas:2: error: Line 10 is given twice (first on line 1)."},
        {"20 PRINT\n10 END\n", "listing.bas:2: error: Line 10 comes after line 20."},
        {"10 PRINT\n20\n", "listing.bas:2: error: Line 20 has no text."},
        {"10 PRINT \"A\"\n20 PRINT ~\n", "listing.bas:2:10: error: The character \"~\" (7E) has no code on HT!"},
        {"10 X=1\n20 PRINT {G1}\n", "listing.bas:2:10: error: The character \"{\" (7B) has no code on HT!"},
        {"1234567890 END\n", "listing.bas:1:1: error: The line number is too large."},
    };
    for (const Row& row : rows) {
        const ImportedProject project = importListing("HT", row.listing);
        ASSERT_FALSE(project.ok()) << row.listing;
        EXPECT_EQ(describeImportMessage("listing.bas", *project.error, "error"), row.error);
    }
}

TEST(TypedListings, LenientReadingRepairsAndWarns) {
    const ImportedProject project = importListing("HT",
                                                  "0010 PRINT \"A\";\n  \"B\"\n30 END\n20 PRINT 1\n30 STOP\n"
                                                  "\n40 X\n40\n",
                                                  true);
    ASSERT_TRUE(project.ok()) << project.error->text;
    EXPECT_EQ(body(project), "&P=HT/&C=10/&I=10/\tPRINT \"A\";  \"B\"/\tPRINT 1/\tSTOP");
    std::vector<std::string> warnings;
    for (const ImportMessage& warning : project.warnings)
        warnings.push_back(describeImportMessage("l", warning, "warning"));
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "l:2: warning: This line has no line number; it continues line 10.",
                            "l:4: warning: Line 20 comes after line 30; the lines are put in order.",
                            "l:5: warning: Line 30 is given again; this one replaces the one on line 3.",
                            "l:8: warning: Line 40 has no text: it deletes the earlier line 40.",
                        }));
}

TEST(TypedListings, TextPlatformsKeepTheTextAsTyped) {
    const ImportedProject project = importListing("BASIC", "10 PRINT \"hi\" | A {41}\n20 GOTO 10\n");
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(body(project), "&P=BASIC/&C=10/&I=10/\\l10\tPRINT \"{68}{69}\" {7C} A {7B}41}/\tGOTO \\l10");
}

// Lines are listed without building each alone first; where the project's
// build then differs (letters stored one by one that would make a keyword,
// random bytes), they are listed again, checked, and still give every byte.
TEST(Images, LinesThatDoNotListPlainStillComeBackExactly) {
    std::mt19937 random(7);
    const std::vector<unsigned char> often = {0x22, 0x3A, 0x20, 0x46, 0x4F, 0x52, 0x88, 0x93, 0x52, 0x45, 0x4D, 0x26};
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.reader == nullptr) continue;
        NumberedProgram program;
        program.platform = &platform;
        program.lines = Program(Program::Origin::Offset);
        program.lines.addLine(10, std::string_view("FOR"), 0);  // letters, not the keyword's code
        for (long number = 20; number < 400; number += 10) {
            std::string bytes(1 + random() % 16, '\0');
            for (char& b : bytes) b = static_cast<char>(random() % 2 == 0 ? often[random() % often.size()] : random() % 256);
            // A Homelab line ends at 60: none holds it (the image would be refused).
            if (platform.packsVariableNames) std::replace(bytes.begin(), bytes.end(), '\x60', 'X');
            program.lines.addLine(number, std::string_view(bytes), 0);
        }
        const ImportedProject project = unnumber(program, {});
        EXPECT_TRUE(project.ok()) << platform.id << ": " << project.error->text;
    }
}

TEST(Images, ErrorsNameTheOffset) {
    ImportRequest request;
    const std::string damaged(10, '\0');
    request.bytes = damaged;
    request.fileName = "broken.cas";
    const ImportedProject project = importProgram(request);
    ASSERT_FALSE(project.ok());
    EXPECT_EQ(describeImportMessage("broken.cas", *project.error, "error"),
              "broken.cas: offset 10 (000A): error: the file ends inside the leader: no sync byte A5");
    request.fileName = "notes.txt";
    EXPECT_EQ(importProgram(request).error->text,
              "This is not an image Lintrel reads (.htp, .pri, .cas); a numbered listing needs --platform.");
}

}  // namespace
}  // namespace lintrel
