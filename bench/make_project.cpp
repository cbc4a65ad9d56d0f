// Writes a generated project file for the scripts:
//   lintrel_make_project PLATFORM LINES STATEMENTS_PER_LINE [late] > project.lpj
// "late" puts "&P=" last, so the line count is not bound by the platform's limit.
//   lintrel_make_project typical PLATFORM BYTES > project.lpj
// the typical program of about BYTES bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sample_program.h"
#include "text/code_page_1250.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "typical") == 0) {
        const auto bytes = static_cast<std::size_t>(std::atoll(argv[3]));
        const std::string text = lintrel::joinProjectLines(lintrel::bench::typicalProgram(argv[2], bytes));
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PLATFORM LINES STATEMENTS_PER_LINE [late]\n", argv[0]);
        return 2;
    }
    lintrel::bench::SampleShape shape;
    shape.lines = std::atoi(argv[2]);
    shape.statementsPerLine = std::atoi(argv[3]);
    shape.numbered = !(argc > 4 && std::strcmp(argv[4], "late") == 0);
    const std::string text = lintrel::joinProjectLines(lintrel::bench::sampleProgram(argv[1], shape));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
