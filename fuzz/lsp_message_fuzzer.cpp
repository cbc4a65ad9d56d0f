// Fuzz target: the language server's input. The first byte picks a piece
// size; the rest is what a client sends. Fed whole and fed in pieces, the
// message reader gives the same events, no body is over the limit, and the
// bodies (the first few) go through the server's dispatch, which answers
// every request once and never throws. The build command, which writes a
// file wherever the input's settings say, is left out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/message_reader.h"
#include "lsp/server.h"
#include "require.h"

using lintrel::fuzz::require;
using lintrel::lsp::MessageReader;
using lintrel::lsp::ReadEvent;

namespace {

constexpr std::size_t kDispatched = 16;

std::vector<ReadEvent> readAll(std::string_view input, std::size_t piece) {
    MessageReader reader;
    std::vector<ReadEvent> events;
    for (std::size_t at = 0; at < input.size(); at += piece) {
        reader.feed(input.substr(at, piece));
        while (auto event = reader.next()) events.push_back(std::move(*event));
    }
    return events;
}

bool writesFiles(const std::string& body) {
    const auto message = lintrel::lsp::Json::parse(body, nullptr, false);
    return message.is_object() && message.value("method", lintrel::lsp::Json()) == "workspace/executeCommand";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<ReadEvent> whole = readAll(input, input.size() + 1);
    const std::vector<ReadEvent> pieces = readAll(input, piece);
    require(whole.size() == pieces.size(), "a different number of events when fed in pieces");
    for (std::size_t i = 0; i < whole.size(); ++i) {
        require(whole[i].kind == pieces[i].kind && whole[i].text == pieces[i].text,
                "a different event when fed in pieces");
        require(whole[i].kind == ReadEvent::Kind::Problem || whole[i].text.size() <= lintrel::lsp::kMessageLimit,
                "a body over the limit");
    }

    std::size_t sent = 0;
    lintrel::lsp::Server server({}, [&sent](const std::string&) { ++sent; });
    server.receive(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})");
    for (std::size_t i = 0; i < whole.size() && i < kDispatched && !server.ended(); ++i) {
        if (whole[i].kind == ReadEvent::Kind::Message && !writesFiles(whole[i].text)) server.receive(whole[i].text);
    }
    require(sent >= 1, "initialize unanswered");
    return 0;
}
