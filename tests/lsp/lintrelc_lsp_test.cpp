// lintrelc lsp as a process: whatever comes on standard input, it answers or
// logs, never crashes or hangs, and ends with the status the protocol asks
// for. One row per input; "M(...)" frames a message body.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_lintrelc.h"
#include "lsp/message_reader.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;
using lsp::frameMessage;

const std::string kInitialize =
    frameMessage(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
const std::string kShutdown = frameMessage(R"({"jsonrpc":"2.0","id":9,"method":"shutdown"})");
const std::string kExit = frameMessage(R"({"jsonrpc":"2.0","method":"exit"})");

struct ProcessCase {
    const char* name;
    std::string input;
    int exitCode;
    std::vector<std::string> out;  // each must be in standard output
    std::string err;               // must be in standard error
};

const std::vector<ProcessCase> kCases = {
    {"shutdown and exit end with 0", kInitialize + kShutdown + kExit, 0,
     {R"("id":1,"jsonrpc":"2.0","result":{"capabilities")", R"({"id":9,"jsonrpc":"2.0","result":null})"}, ""},
    {"exit without shutdown ends with 1", kInitialize + kExit, 1, {}, ""},
    {"the input ending before exit ends with 1", kInitialize, 1, {}, "the input ended before \"exit\""},
    {"an empty input", "", 1, {}, "the input ended before \"exit\""},
    {"a huge Content-Length is refused unread, the input ending inside it",
     kInitialize + "Content-Length: 4000000000\r\n\r\n{\"jsonrpc\"", 1,
     {"a message of 4000000000 bytes is over the limit of 64 MB; message skipped"},
     "the input ended inside a message"},
    {"malformed headers, bad JSON and unknown methods, then a proper end",
     "Content-Lenght: 5\r\n\r\n" + kInitialize + frameMessage("{oops") +
         frameMessage(R"({"jsonrpc":"2.0","id":3,"method":"no/such"})") + "garbage\r\n\r\n" + kShutdown + kExit,
     0,
     {"a message header without Content-Length; message skipped", R"("code":-32700)", R"("code":-32601)",
      R"({"id":9,"jsonrpc":"2.0","result":null})"},
     ""},
    {"requests before initialize", frameMessage(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") + kExit, 1,
     {R"({"error":{"code":-32002)"}, ""},
    {"a document with every byte value and positions past its end",
     kInitialize +
         frameMessage(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"u","version":1,"text":"&P=HT\n\u0000\u0001\u007f\u0080\u00ff\ud83d\ude00\r\r\n\\a\tGOTO \\a"}}})") +
         frameMessage(R"({"jsonrpc":"2.0","id":4,"method":"textDocument/definition","params":{"textDocument":{"uri":"u"},"position":{"line":99,"character":0}}})") +
         frameMessage(R"({"jsonrpc":"2.0","id":5,"method":"textDocument/inlayHint","params":{"textDocument":{"uri":"u"},"range":{"start":{"line":0,"character":0},"end":{"line":2147483647,"character":0}}}})") +
         kShutdown + kExit,
     0, {R"({"error":{"code":-32602,"message":"the position 99:0 is past the end)", R"("id":5,"jsonrpc":"2.0","result":[)"},
     ""},
};

class LanguageServerProcess : public ::testing::Test {
protected:
    void SetUp() override { scratch = makeTemporaryFolder(); }
    void TearDown() override { fs::remove_all(scratch); }
    fs::path scratch;
};

TEST_F(LanguageServerProcess, EveryInputEndsAsItShould) {
    for (const ProcessCase& testCase : kCases) {
        SCOPED_TRACE(testCase.name);
        RunSettings settings;
        settings.input = testCase.input;
        settings.timeout = std::chrono::seconds(60);
        const ProgramRun run = runProgram(lintrelcBinary(), {"lsp"}, scratch, settings);
        EXPECT_EQ(run.exitCode, testCase.exitCode) << run.err;
        for (const std::string& piece : testCase.out) EXPECT_NE(run.out.find(piece), std::string::npos) << piece << "\n" << run.out;
        EXPECT_NE(run.err.find(testCase.err), std::string::npos) << run.err;
    }
}

TEST_F(LanguageServerProcess, AClosedOutputEndsIt) {
    RunSettings settings;
    settings.input = kInitialize + kShutdown + kExit;
    settings.outputClosed = true;
    const ProgramRun run = runProgram(lintrelcBinary(), {"lsp"}, scratch, settings);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write to the client"), std::string::npos) << run.err;
}

TEST_F(LanguageServerProcess, StartedAsLintrelLspItServes) {
    const fs::path link = scratch / "lintrel-lsp";
    fs::create_symlink(lintrelcBinary(), link);
    RunSettings settings;
    settings.input = kInitialize + kShutdown + kExit;
    const ProgramRun run = runProgram(link, {}, scratch, settings);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"capabilities\""), std::string::npos);
}

TEST_F(LanguageServerProcess, Usage) {
    EXPECT_EQ(runProgram(lintrelcBinary(), {"lsp", "--stdio", "--help"}, scratch).exitCode, 0);
    const ProgramRun bad = runProgram(lintrelcBinary(), {"lsp", "--tcp"}, scratch);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("usage: lintrelc lsp [--stdio]"), std::string::npos);
}

}  // namespace
}  // namespace lintrel
