// lintrelc(1) and `lintrelc --help` name the same options and commands.
//
// The man page may document options ahead of their implementation (they
// arrive on other branches). Each of those has a command line below that
// succeeds once the option works as the page says; while it fails, the
// option may be missing from --help, and once it succeeds, --help must name
// it. So merging the branches needs no change here.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;
using Names = std::set<std::string>;

// {dir}: a scratch folder; {project}: a project that builds without a
// warning; {image}: its Homelab 2 image; {listing}: a numbered listing.
const std::map<std::string, std::vector<std::string>> kDocumentedAhead = {
    {"-o", {"-o", "{dir}/o.htp", "{project}"}},
    {"-w", {"-w", "--exports", "{dir}", "{project}"}},
    {"--werror", {"--werror", "--exports", "{dir}", "{project}"}},
    {"-Wunused-label", {"-Wunused-label", "--exports", "{dir}", "{project}"}},
    {"list", {"list", "{image}"}},
    {"--cp1250", {"list", "--cp1250", "{image}"}},
    {"import", {"import", "{image}", "-o", "{dir}/i.lpj"}},
    {"--platform", {"import", "--platform", "HL2", "{listing}", "-o", "{dir}/p.lpj"}},
    {"--renumber", {"import", "--renumber", "10,10", "{image}", "-o", "{dir}/r.lpj"}},
    {"--lenient", {"import", "--platform", "HL2", "--lenient", "{listing}", "-o", "{dir}/l.lpj"}},
};

// A scratch folder with the files the probes name; the image is built by
// lintrelc as it is today.
fs::path makeProbeFolder() {
    const fs::path dir = makeTemporaryFolder();
    writeAll(dir / "game.lpj", "&P=HL2\r\n\\top PRINT \"HI\"\r\nGOTO \\top\r\n");
    writeAll(dir / "listing.txt", "10 PRINT \"HI\"\r\n20 GOTO 10\r\n");
    const ProgramRun build =
        runProgram(lintrelcBinary(), {"--exports", dir.string(), (dir / "game.lpj").string()}, dir);
    EXPECT_EQ(build.exitCode, 0) << build.err;
    return dir;
}

// Whether the option's command line succeeds today, run in the probe folder.
bool works(const std::vector<std::string>& probe, const fs::path& dir) {
    std::vector<std::string> arguments;
    for (std::string argument : probe) {
        const std::pair<std::string, fs::path> places[] = {{"{project}", dir / "game.lpj"},
                                                           {"{image}", dir / "Compiled_HL2.htp"},
                                                           {"{listing}", dir / "listing.txt"},
                                                           {"{dir}", dir}};
        for (const auto& [placeholder, path] : places) {
            if (const auto at = argument.find(placeholder); at != std::string::npos) {
                argument.replace(at, placeholder.size(), path.string());
            }
        }
        arguments.push_back(argument);
    }
    return runProgram(lintrelcBinary(), arguments, dir).exitCode == 0;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Plain text of a roff line: no macro, fonts or quotes, hyphens as a reader
// sees them.
std::string plainRoff(std::string line) {
    if (!line.empty() && line[0] == '.')
        line.erase(0, line.find(' ') == std::string::npos ? line.size() : line.find(' ') + 1);
    for (const char* font : {"\\fB", "\\fI", "\\fR", "\\fP", "\""}) replaceAll(line, font, "");
    replaceAll(line, "\\-", "-");
    return line;
}

bool isWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
}

// "-x", "--name", "-Wname": a dash that starts a word. A lone "-" (standard
// input or output) is an operand, not an option, and is not compared.
void addOptions(const std::string& text, Names& names) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsWord =
            i == 0 || std::string_view(" \t[(|,").find(text[i - 1]) != std::string_view::npos;
        const std::size_t letter = text.compare(i, 2, "--") == 0 ? i + 2 : i + 1;
        if (text[i] != '-' || !startsWord || letter >= text.size() ||
            !std::isalpha(static_cast<unsigned char>(text[letter]))) {
            continue;
        }
        std::size_t end = letter;
        while (end < text.size() && isWordCharacter(text[end])) ++end;
        names.insert(text.substr(i, end - i));
        i = end;
    }
}

// A command is the lower-case word after "lintrelc" at the start of a line.
void addCommand(std::string_view line, Names& names) {
    auto skipBlanks = [&line] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    };
    skipBlanks();
    if (line.substr(0, 6) == "usage:") line.remove_prefix(6);
    skipBlanks();
    if (line.substr(0, 9) != "lintrelc " && line.substr(0, 9) != "lintrelc\t") return;
    line.remove_prefix(9);
    skipBlanks();
    std::size_t end = 0;
    while (end < line.size() && isWordCharacter(line[end])) ++end;
    const std::string_view word = line.substr(0, end);
    if (!word.empty() && std::islower(static_cast<unsigned char>(word.front())))
        names.insert(std::string(word));
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
    const fs::path probes = makeProbeFolder();
    for (const std::string& name : manPageNames(manPage())) {
        if (help.count(name)) continue;
        const auto ahead = kDocumentedAhead.find(name);
        if (ahead == kDocumentedAhead.end()) {
            ADD_FAILURE() << name << " is in lintrelc.1 but not in lintrelc --help";
        } else {
            EXPECT_FALSE(works(ahead->second, probes)) << name << " works but is not in lintrelc --help";
        }
    }
    fs::remove_all(probes);
}

}  // namespace
}  // namespace lintrel
