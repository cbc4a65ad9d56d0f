#include "sample_program.h"

#include <array>

namespace lintrel::bench {

namespace {

// "@L" stands for a reference to a label defined earlier or later.
constexpr std::array<std::string_view, 16> kStatements = {
    "FOR I=1 TO N:PRINT I;\"HELLO, WORLD\":NEXT I",
    "IF A>B THEN GOTO @L",
    "GOSUB @L",
    "A$=\"TEXT \"+CHR$(65):B=LEN(A$)",
    "REM A REMARK WITH SOME WORDS",
    "DATA 1,2,3,ORANGE,NEW YORK",
    "X=INT(RND(1)*10)+ABS(Y)",
    "POKE 16384,PEEK(16385)",
    "PRINT TAB(5);\"SCORE:\";S",
    "INPUT \"YOUR NAME\";N$ | asks once",
    "print \"lower case text\";x*2",
    "ON K GOTO @L,@L",
    "DIM AB(20),C$(5):LET Q=AB(3)+1",
    "S=S+SQR(X*X+Y*Y)/2",
    "READ A,B,C$:RESTORE",
    "IF K=0 THEN PRINT \"DONE\":END",
};

std::string labelName(int index) { return "\\L" + std::to_string(index); }

}  // namespace

std::vector<std::string> sampleProgram(std::string_view platform, const SampleShape& shape) {
    std::vector<std::string> lines;
    const std::string platformLine = "&P=" + std::string(platform);
    if (shape.numbered) lines.push_back(platformLine);
    lines.push_back("&C=1");
    lines.push_back("&I=1");
    constexpr int kLabelEvery = 10;
    const int labels = (shape.lines + kLabelEvery - 1) / kLabelEvery;
    unsigned state = 12345;
    for (int i = 0; i < shape.lines; ++i) {
        std::string line;
        if (i % kLabelEvery == 0) line = labelName(i / kLabelEvery) + " ";
        else if (i % 3 == 0) line = "\t";
        for (int s = 0; s < shape.statementsPerLine; ++s) {
            if (s > 0) line += ":";
            state = state * 1103515245u + 12345u;
            std::string_view statement = kStatements[(state >> 16) % kStatements.size()];
            for (std::size_t at = statement.find("@L"); at != std::string_view::npos; at = statement.find("@L")) {
                state = state * 1103515245u + 12345u;
                line += statement.substr(0, at);
                line += labelName(static_cast<int>((state >> 16) % static_cast<unsigned>(labels)));
                statement.remove_prefix(at + 2);
            }
            line += statement;
        }
        lines.push_back(line);
    }
    if (!shape.numbered) lines.push_back(platformLine);
    return lines;
}

std::vector<std::string> typicalProgram(std::string_view platform, std::size_t bytes) {
    constexpr std::array<std::string_view, 12> kTypical = {
        "REM COUNT THE SCORE", "LET S=S+1", "FOR I=1 TO 10:NEXT I", "IF S>9 THEN GOSUB @L",
        "PRINT \"WELL DONE\"", "A$=STR$(S)+CHR$(65)", "DATA 3,1,4,1,5", "DIM B(9):READ B(1)",
        "PRINT TAB(8);S", "GOTO @L", "R=RND(1)*6", "POKE 16384,PEEK(16385)",
    };
    constexpr int kLabelEvery = 48;
    std::vector<std::string> lines = {"&P=" + std::string(platform)};
    std::size_t size = lines[0].size() + 2;
    for (int i = 0; size < bytes; ++i) {
        std::string line = i % kLabelEvery == 0 ? "\\L" + std::to_string(i / kLabelEvery) + " " : "\t";
        std::string_view statement = kTypical[static_cast<std::size_t>(i) % kTypical.size()];
        if (const std::size_t at = statement.find("@L"); at != std::string_view::npos) {
            // Back to the label before, or on to the next one.
            const int target = i / kLabelEvery + (i % 2 == 0 ? 1 : 0);
            line += std::string(statement.substr(0, at)) + "\\L" + std::to_string(target);
            statement.remove_prefix(at + 2);
        }
        line += statement;
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    // The last reference forward has a label to name.
    lines.push_back("\\L" + std::to_string(static_cast<int>(lines.size()) / kLabelEvery + 1) + " END");
    return lines;
}

std::size_t projectBytes(const std::vector<std::string>& lines) {
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += line.size() + 2;
    return bytes;
}

}  // namespace lintrel::bench
