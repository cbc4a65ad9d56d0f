// lintrelc(1) and `lintrelc --help` name the same options and commands.
//
// The man page may document options ahead of their implementation (they
// arrive on other branches); those are listed below and tolerated while
// --help lacks them. Once --help names one, it is checked like the rest, so
// merging the branches needs no change here.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;
using Names = std::set<std::string>;

const Names kDocumentedAhead = {
    "-o", "-w", "--werror", "-Wunused-label",                           // output file and warnings
    "list", "import", "--cp1250", "--platform", "--renumber", "--lenient",  // images and listings
};

// Plain text of a roff line: fonts and escaped hyphens as a reader sees them.
std::string plainRoff(std::string line) {
    line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
    line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
    line = std::regex_replace(line, std::regex(R"(")"), "");
    return std::regex_replace(line, std::regex(R"(^\.[A-Z]+ ?)"), "");
}

// "-x", "--name", "-Wname": a dash that starts a word. A lone "-" (standard
// input or output) is an operand, not an option, and is not compared.
void addOptions(const std::string& text, Names& names) {
    static const std::regex option(R"((^|[\s\[(|,])(--?[A-Za-z][A-Za-z0-9-]*))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) names.insert((*it)[2]);
}

// A command is the lower-case word after "lintrelc" at the start of a line.
void addCommand(const std::string& line, Names& names) {
    static const std::regex command(R"(^\s*(usage:\s*)?lintrelc\s+([a-z][a-z0-9-]*)\b)");
    std::smatch match;
    if (std::regex_search(line, match, command)) names.insert(match[2]);
}

// The tags of the .TP paragraphs (options and commands) and the synopsis.
Names manPageNames(const std::string& roff) {
    Names names;
    std::istringstream lines(roff);
    std::string line, section;
    bool tagNext = false;
    while (std::getline(lines, line)) {
        if (line.rfind(".SH ", 0) == 0) section = line.substr(4);
        const std::string text = plainRoff(line);
        if (section == "SYNOPSIS") {
            addCommand(text, names);
            addOptions(text, names);
        } else if (tagNext) {
            addOptions(text, names);
        }
        tagNext = line == ".TP";
    }
    return names;
}

Names helpNames(const std::string& help) {
    Names names;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        addCommand(line, names);
        addOptions(line, names);
    }
    return names;
}

std::string manPage() {
    std::ifstream file(std::string(LINTREL_MAN_DIR) + "/lintrelc.1");
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string helpText() {
    const fs::path scratch = makeTemporaryFolder();
    const ProgramRun run = runProgram(lintrelcBinary(), {"--help"}, scratch);
    fs::remove_all(scratch);
    EXPECT_EQ(run.exitCode, 0);
    return run.out;
}

TEST(ManPage, TheParsersSeeOptionsCommandsAndNoOperands) {
    EXPECT_EQ(helpNames("usage: lintrelc [--a DIR] [-b on|off] PROJECT|-\n"
                        "       lintrelc list IMAGE [--c]\n"
                        "  -o -          write to standard output (UTF-8)\n"),
              (Names{"--a", "-b", "list", "--c", "-o"}));
    EXPECT_EQ(manPageNames(".SH SYNOPSIS\n.B lintrelc import\n.RB [ \\-\\-lenient ]\n.SH OPTIONS\n.TP\n"
                           ".BI \\-o \" FILE\"\nWrite \\-\\-not\\-a\\-tag here.\n.TP\n.B \\-\n"),
              (Names{"import", "--lenient", "-o"}));
}

TEST(ManPage, EveryOptionOfHelpIsInTheManPage) {
    const Names manual = manPageNames(manPage());
    ASSERT_FALSE(manual.empty());
    for (const std::string& name : helpNames(helpText())) {
        EXPECT_TRUE(manual.count(name)) << name << " is in lintrelc --help but not in lintrelc.1";
    }
}

TEST(ManPage, EveryOptionOfTheManPageIsInHelp) {
    const Names help = helpNames(helpText());
    ASSERT_FALSE(help.empty());
    for (const std::string& name : manPageNames(manPage())) {
        if (kDocumentedAhead.count(name)) continue;
        EXPECT_TRUE(help.count(name)) << name << " is in lintrelc.1 but not in lintrelc --help";
    }
}

}  // namespace
}  // namespace lintrel
