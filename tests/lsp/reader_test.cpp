// The framing, case by case from reader_cases.json: the input pieces, the
// events the reader gives for them (a body, or a problem), and whether it is
// left inside a message. Each case is fed as written and again in small
// pieces, one byte at a time where the input is small.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lsp/message_reader.h"
#include "lsp/protocol.h"

namespace lintrel::lsp {
namespace {

Json loadCases() {
    std::ifstream in(std::filesystem::path(LINTREL_LSP_TEST_DIR) / "reader_cases.json");
    return Json::parse(in);
}

std::vector<std::string> pieces(const Json& input) {
    std::vector<std::string> result;
    for (const Json& piece : input) {
        if (piece.is_string()) {
            result.push_back(piece.get<std::string>());
        } else {
            result.emplace_back(piece["times"].get<std::size_t>(), piece["repeat"].get<std::string>()[0]);
        }
    }
    return result;
}

// Every event, fed `chunk` bytes at a time (0: piece by piece).
std::vector<ReadEvent> readAll(const std::vector<std::string>& input, std::size_t chunk, MessageReader& reader) {
    std::vector<ReadEvent> events;
    for (const std::string& piece : input) {
        const std::size_t step = chunk == 0 ? std::max<std::size_t>(piece.size(), 1) : chunk;
        for (std::size_t at = 0; at < piece.size(); at += step) {
            reader.feed(std::string_view(piece).substr(at, step));
            while (auto event = reader.next()) events.push_back(std::move(*event));
        }
    }
    return events;
}

void check(const Json& testCase, std::size_t chunk) {
    SCOPED_TRACE(testCase["name"].get<std::string>() + (chunk ? " (fed in pieces of " + std::to_string(chunk) + ")" : ""));
    MessageReader reader;
    const std::vector<ReadEvent> events = readAll(pieces(testCase["input"]), chunk, reader);
    const Json& expected = testCase["events"];
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Json& want = expected[i];
        if (want.contains("problem")) {
            EXPECT_EQ(events[i].kind, ReadEvent::Kind::Problem);
            EXPECT_NE(events[i].text.find(want["problem"].get<std::string>()), std::string::npos) << events[i].text;
        } else if (want.contains("messageLength")) {
            EXPECT_EQ(events[i].kind, ReadEvent::Kind::Message);
            EXPECT_EQ(events[i].text.size(), want["messageLength"].get<std::size_t>());
        } else {
            EXPECT_EQ(events[i].kind, ReadEvent::Kind::Message);
            EXPECT_EQ(events[i].text, want["message"].get<std::string>());
        }
    }
    EXPECT_EQ(reader.midMessage(), testCase.value("midMessage", false));
}

TEST(MessageReader, EveryCaseGivesItsEvents) {
    for (const Json& testCase : loadCases()) {
        std::size_t size = 0;
        for (const std::string& piece : pieces(testCase["input"])) size += piece.size();
        check(testCase, 0);
        check(testCase, size < 100'000 ? 1 : 65'536);
    }
}

TEST(MessageReader, FramesWhatItReads) {
    MessageReader reader;
    reader.feed(frameMessage("{\"jsonrpc\":\"2.0\"}") + frameMessage(""));
    EXPECT_EQ(reader.next()->text, "{\"jsonrpc\":\"2.0\"}");
    EXPECT_EQ(reader.next()->text, "");
    EXPECT_FALSE(reader.next());
    EXPECT_FALSE(reader.midMessage());
}

}  // namespace
}  // namespace lintrel::lsp
