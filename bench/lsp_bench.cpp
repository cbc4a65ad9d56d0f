// The language server on a large project, for bench/lsp_figures.sh.
//   lintrel_lsp_bench changes [LINES] [CHANGES]
//     opens a generated HT project of LINES lines (default 50,000) in an
//     in-process server, builds it, then makes CHANGES one-character changes
//     (default 5), each built and published; each change runs in
//     measureOneChange, which callgrind counts alone (--toggle-collect) and
//     dumps at its end.
//   lintrel_lsp_bench messages [LINES] DIR
//     writes the framed messages of the same session for a real process:
//     DIR/open (initialize, initialized, didOpen), DIR/change (one change),
//     DIR/end (shutdown, exit).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS
#endif

#include "lsp/message_reader.h"
#include "lsp/server.h"
#include "sample_program.h"
#include "text/code_page_1250.h"

namespace {

using lintrel::lsp::Json;

constexpr char kUri[] = "file:///bench/project.lpj";

std::string projectText(int lines) {
    lintrel::bench::SampleShape shape;
    shape.lines = lines;
    const auto projectLines = lintrel::bench::sampleProgram("HT", shape);
    std::string text;
    for (const std::string& line : projectLines) {
        text += lintrel::utf8FromCodePage1250(line);
        text += '\n';
    }
    return text;
}

Json notification(const char* method, Json params) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

Json openMessage(const std::string& text) {
    return notification("textDocument/didOpen",
                        {{"textDocument", {{"uri", kUri}, {"languageId", "lintrel"}, {"version", 1}, {"text", text}}}});
}

// Inserts a space into a line in the middle, or takes it out again.
Json changeMessage(int lines, int version) {
    const int line = lines / 2;
    const bool insert = version % 2 == 0;
    Json range = {{"start", {{"line", line}, {"character", 1}}},
                  {"end", {{"line", line}, {"character", insert ? 1 : 2}}}};
    return notification("textDocument/didChange",
                        {{"textDocument", {{"uri", kUri}, {"version", version}}},
                         {"contentChanges", {{{"range", range}, {"text", insert ? " " : ""}}}}});
}

const Json kInitialize = {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", Json::object()}}}};

__attribute__((noinline)) std::size_t measureOneChange(lintrel::lsp::Server& server, const std::string& change,
                                                         const std::size_t& published) {
    const std::size_t before = published;
    server.receive(change);
    server.runDueBuilds(lintrel::lsp::Clock::now() + std::chrono::hours(1), {});
    CALLGRIND_DUMP_STATS;  // one profile per change
    return published - before;
}

int runChanges(int lines, int changes) {
    std::size_t published = 0, bytes = 0;
    lintrel::lsp::Server server({}, [&](const std::string& body) {
        bytes += body.size();
        if (body.find("publishDiagnostics") != std::string::npos) ++published;
    });
    const std::string text = projectText(lines);
    server.receive(kInitialize.dump());
    server.receive(openMessage(text).dump());
    server.runDueBuilds(lintrel::lsp::Clock::now() + std::chrono::hours(1), {});
    std::vector<double> milliseconds;
    for (int i = 0; i < changes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (measureOneChange(server, changeMessage(lines, i + 2).dump(), published) != 1) {
            std::fprintf(stderr, "change %d published nothing\n", i + 1);
            return 1;
        }
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("project: %d lines, %zu bytes of UTF-8; %d changes built and published, %zu bytes sent\n", lines,
                text.size(), changes, bytes);
    // Wall clock of the server's work per change (the rest it waits after a
    // change comes on top); meaningful only on a quiet machine.
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("change to diagnostics, server's work: median %.1f ms, min %.1f, max %.1f\n",
                milliseconds[milliseconds.size() / 2], milliseconds.front(), milliseconds.back());
    return 0;
}

int writeMessages(int lines, const std::string& folder) {
    const auto write = [&folder](const char* name, const std::string& bytes) {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
    };
    const std::string text = projectText(lines);
    write("open", lintrel::lsp::frameMessage(kInitialize.dump()) +
                      lintrel::lsp::frameMessage(notification("initialized", Json::object()).dump()) +
                      lintrel::lsp::frameMessage(openMessage(text).dump()));
    write("change", lintrel::lsp::frameMessage(changeMessage(lines, 2).dump()));
    write("end", lintrel::lsp::frameMessage(Json{{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}}.dump()) +
                     lintrel::lsp::frameMessage(notification("exit", nullptr).dump()));
    std::printf("%zu\n", text.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    const int lines = argc > 2 ? std::atoi(argv[2]) : 50'000;
    if (mode == "changes") return runChanges(lines, argc > 3 ? std::atoi(argv[3]) : 5);
    if (mode == "messages" && argc > 3) return writeMessages(lines, argv[3]);
    std::fprintf(stderr, "usage: %s changes [LINES] [CHANGES] | messages LINES DIR\n", argv[0]);
    return 2;
}
