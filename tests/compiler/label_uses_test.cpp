// Where labels stand for the editor's outline, navigation and rename: one
// table of small projects, each with the uses and labels it must give, and
// one of rename requests with the sites or the refusal.
#include "compiler/label_uses.h"

#include <gtest/gtest.h>

#include "compiler/line_map.h"

namespace lintrel {
namespace {

// "line:column+length" then D (definition) or R, and the label's index.
std::string describeUses(const LabelUses& uses) {
    std::string text;
    for (const LabelUse& use : uses.uses) {
        if (!text.empty()) text += ' ';
        text += std::to_string(use.line) + ':' + std::to_string(use.column) + '+' + std::to_string(use.length) +
                (use.definition ? 'D' : 'R') + std::to_string(use.label);
    }
    return text;
}

// "name@basicLine#references", "-" for no number.
std::string describeLabels(const LabelUses& uses) {
    std::string text;
    for (const LabelInfo& label : uses.labels) {
        if (!text.empty()) text += ' ';
        text += label.name + '@' + (label.basicLine == kNoBasicLine ? "-" : std::to_string(label.basicLine)) + '#' +
                std::to_string(label.references);
    }
    return text;
}

struct UsesCase {
    const char* name;
    std::vector<std::string> lines;
    const char* uses;
    const char* labels;
};

TEST(LabelUses, FindsDefinitionsAndReferencesAsTheBuildReadsThem) {
    const std::vector<UsesCase> cases = {
        {"definition and reference",
         {"&P=BASIC", "\\start PRINT 1", "\tGOTO \\start"},
         "1:0+6D0 2:6+6R0",
         "\\start@1#1"},
        {"longest name wins, case ignored",
         {"&P=HT", "&C=10", "&I=10", "\\loop", "A", "\\loop2 B", "GOTO \\LOOP2:GOTO \\Loop"},
         "3:0+5D0 5:0+6D1 6:5+6R1 6:17+5R0",
         "\\loop@10#1 \\loop2@20#1"},
        {"strings, remarks, DATA and comments hold no reference",
         {"&P=BASIC", "\\a", "PRINT \"\\a\";\\a:REM \\a", "DATA \"x:\\a\",\\a:GOTO \\a | \\a"},
         "1:0+2D0 2:11+2R0 3:20+2R0",
         "\\a@1#2"},
        {"apostrophe remark on HT and Primo only",
         {"&P=HT", "\\a A", "B ' \\a", "&P=BASIC", "B ' \\a"},
         "1:0+2D0 4:4+2R0",
         "\\a@1#1"},
        {"a directive ends the program text, also in a string",
         {"&P=BASIC", "\\a", "PRINT \"&C=5 \\a", "X \\a &I=2 \\a"},
         "1:0+2D0 3:2+2R0",
         "\\a@5#1"},
        {"brace unit is one unit; TABs skipped",
         {"&P=BASIC", "\\a", "{5C}a\t\\a", "\"{22}\\a"},
         "1:0+2D0 2:6+2R0",
         "\\a@1#1"},
        {"reference to nothing spans name bytes; lone backslash nothing",
         {"&P=BASIC", "GOTO \\nowhere+1", "PRINT \\ 5"},
         "1:5+8R-1",
         ""},
        {"definition ended by a comment or TAB; indented name is a reference",
         {"&P=BASIC", "\\a|\\b", "\t\\a", "\\c\t\\a", "X"},
         "1:0+2D0 2:1+2R0 3:0+2D1 3:3+2R0",
         "\\a@1#2 \\c@2#0"},
        {"first of two equal names owns the references",
         {"&P=BASIC", "\\x A", "\\X B", "GOTO \\x"},
         "1:0+2D0 2:0+2D1 3:5+2R0",
         "\\x@1#1 \\X@2#0"},
        {"no platform: no number",
         {"\\a A", "GOTO \\a"},
         "0:0+2D0 1:5+2R0",
         "\\a@-#1"},
        {"label takes the number of the next program line, also after &C=",
         {"A", "&P=BASIC", "\\a", "&C=50", "B", "\\b", "C"},
         "2:0+2D0 5:0+2D1",
         "\\a@50#0 \\b@51#0"},
        {"a label no line follows keeps the number due", {"&P=BASIC", "&C=7", "A", "\\end"}, "3:0+4D0",
         "\\end@8#0"},
        {"name holding & and a quote is taken whole",
         {"&P=BASIC", "\\a&C=1\"", "GOTO \\a&C=1\":GOTO \\a&C=1\""},
         "1:0+7D0 2:5+7R0 2:18+7R0",
         "\\a&C=1\"@1#2"},
    };
    for (const UsesCase& c : cases) {
        const LabelUses uses = findLabelUses(c.lines, BuildOptions{});
        EXPECT_EQ(describeUses(uses), c.uses) << c.name;
        EXPECT_EQ(describeLabels(uses), c.labels) << c.name;
        // The numbers are those the build gives its label table.
        const BuildResult built = build(c.lines, BuildOptions{});
        for (const LabelInfo& label : uses.labels) {
            if (label.basicLine == kNoBasicLine) continue;
            for (std::size_t row = 0; row < built.labelNames.size(); ++row) {
                if (built.labelNames[row] == label.name) {
                    EXPECT_EQ(built.labelNumbers[row], std::to_string(label.basicLine)) << c.name << label.name;
                }
            }
        }
    }
}

struct RenameCase {
    const char* name;
    int label;
    const char* newName;
    const char* sites;    // "line:column" of each site; empty when refused
    const char* refusal;  // start of the refusal, empty when done
};

TEST(LabelUses, PlansRenamesAndRefusesNamesThatCollide) {
    const std::vector<std::string> lines = {"&P=BASIC", "\\loop A",  "\\loop2 B", "GOTO \\loop:GOTO \\loop2",
                                            "\\end",    "REM \\end", "GOTO \\END"};
    const LabelUses uses = findLabelUses(lines, BuildOptions{});
    const std::vector<RenameCase> cases = {
        {"without its backslash", 2, "finish", "4:0 6:5", ""},
        {"with its backslash, case change only", 0, "\\LOOP", "1:0 3:5", ""},
        {"already defined", 2, "\\LOOP2", "", "The label \"\\loop2\" is already defined (line 3)."},
        {"would swallow another", 2, "\\loop2x", "", "\"\\loop2x\" and the label \"\\loop\" (line 2) begin alike"},
        {"another would swallow it", 2, "lo", "", "\"\\lo\" and the label \"\\loop\" (line 2) begin alike"},
        {"empty", 2, "\\", "", "A label needs a name"},
        {"space in the name", 2, "a b", "", "\"\\a b\" is not a label name"},
        {"brace in the name", 2, "a{41}", "", "\"\\a{41}\" is not a label name"},
        {"no such label", 7, "x", "", "There is no label here"},
        {"within a family that already begins alike", 1, "\\loop3", "2:0 3:16", ""},
    };
    for (const RenameCase& c : cases) {
        const LabelRename rename = planLabelRename(uses, c.label, c.newName);
        std::string sites;
        for (const LabelUse& site : rename.sites) {
            if (!sites.empty()) sites += ' ';
            sites += std::to_string(site.line) + ':' + std::to_string(site.column);
        }
        EXPECT_EQ(sites, c.sites) << c.name;
        EXPECT_TRUE(rename.refusal.value_or("").starts_with(c.refusal)) << c.name << ": " << rename.refusal.value_or("");
        EXPECT_EQ(rename.refusal.has_value(), *c.refusal != '\0') << c.name;
    }
    EXPECT_EQ(findLabelUseAt(uses, 3, 7)->label, 0);   // inside "\loop"
    EXPECT_EQ(findLabelUseAt(uses, 3, 10)->label, 0);  // right after it
    EXPECT_EQ(findLabelUseAt(uses, 3, 0), nullptr);
}

}  // namespace
}  // namespace lintrel
