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

std::size_t projectBytes(const std::vector<std::string>& lines) {
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += line.size() + 2;
    return bytes;
}

}  // namespace lintrel::bench
