// The server message by message: each case of protocol_cases.json sends its
// steps to an initialized server and holds what came back against the
// expected messages.
//
// Steps: {"send": message}, {"raw": body} (a body as it stands, JSON or not),
// {"open": [lines]} (didOpen of the case's document), {"change": [lines]} (a
// whole-text didChange), {"build": true} (runs the builds that are waiting;
// "meanwhile": [messages] arrive while they run).
// Expected messages match in order and in number; an expected object needs
// only the keys it names, {"$contains": text} matches a string holding text.
// Log messages are left out unless the case says "logs": true. "files" names
// files the case writes, with their text (code page 1250 shown as UTF-8).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lsp/server.h"
#include "text/code_page_1250.h"

namespace lintrel::lsp {
namespace {

constexpr char kUri[] = "file:///project/test.lpj";

Json loadCases() {
    const std::filesystem::path file = std::filesystem::path(LINTREL_LSP_TEST_DIR) / "protocol_cases.json";
    std::ifstream in(file);
    return Json::parse(in);
}

std::string joinLines(const Json& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i].get<std::string>();
    }
    return text;
}

// "$EXPORTS" in any string of the case stands for the test's scratch folder.
Json substitute(const Json& value, const std::string& exports) {
    if (value.is_string()) {
        std::string text = value.get<std::string>();
        for (auto at = text.find("$EXPORTS"); at != std::string::npos; at = text.find("$EXPORTS"))
            text.replace(at, 8, exports);
        return text;
    }
    Json copy = value;
    if (value.is_structured()) {
        for (auto& [key, item] : copy.items()) item = substitute(item, exports);
    }
    return copy;
}

bool matches(const Json& expected, const Json& actual, std::string& where) {
    if (expected.is_object() && expected.size() == 1 && expected.contains("$contains")) {
        const bool ok = actual.is_string() &&
                        actual.get<std::string>().find(expected["$contains"].get<std::string>()) != std::string::npos;
        if (!ok) where = "a string holding " + expected["$contains"].dump();
        return ok;
    }
    if (expected.is_object()) {
        if (!actual.is_object()) return where = "an object", false;
        for (const auto& [key, item] : expected.items()) {
            if (!actual.contains(key)) return where = "key \"" + key + "\"", false;
            if (!matches(item, actual[key], where)) return where = key + "." + where, false;
        }
        return true;
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size()) {
            return where = std::to_string(expected.size()) + " items", false;
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (!matches(expected[i], actual[i], where)) return where = "[" + std::to_string(i) + "]." + where, false;
        }
        return true;
    }
    if (expected != actual) return where = expected.dump(), false;
    return true;
}

Json message(const char* method, Json params) { return {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}; }

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/lintrel-lsp-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        exports = name;
    }
    void TearDown() override { std::filesystem::remove_all(exports); }

    void run(const Json& testCase) {
        const std::string caseName = testCase["name"].get<std::string>();
        SCOPED_TRACE(caseName);
        std::vector<Json> sent;
        ServerSetup setup;
        setup.exportsFolder = exports / "default";
        Server server(setup, [&sent](const std::string& body) { sent.push_back(Json::parse(body)); });
        if (testCase.value("initialize", true)) {
            const Json options = substitute(testCase.value("initializationOptions", Json::object()), exports.string());
            server.receive(Json{{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"},
                                {"params", {{"capabilities", Json::object()}, {"initializationOptions", options}}}}
                               .dump());
            server.receive(message("initialized", Json::object()).dump());
            sent.clear();
        }
        int version = 0;
        const auto textMessage = [&version](const char* method, const Json& lines) {
            ++version;
            if (std::string(method) == "textDocument/didOpen") {
                return message(method, {{"textDocument",
                                         {{"uri", kUri}, {"languageId", "lintrel"}, {"version", version},
                                          {"text", joinLines(lines)}}}});
            }
            return message(method, {{"textDocument", {{"uri", kUri}, {"version", version}}},
                                    {"contentChanges", {{{"text", joinLines(lines)}}}}});
        };
        for (const Json& rawStep : testCase["steps"]) {
            const Json step = substitute(rawStep, exports.string());
            if (step.contains("send")) server.receive(step["send"].dump());
            if (step.contains("raw")) server.receive(step["raw"].get<std::string>());
            if (step.contains("open")) server.receive(textMessage("textDocument/didOpen", step["open"]).dump());
            if (step.contains("change")) server.receive(textMessage("textDocument/didChange", step["change"]).dump());
            if (step.contains("build")) {
                const Json meanwhile = step.value("meanwhile", Json::array());
                server.runDueBuilds(Clock::now() + std::chrono::hours(1), [&] {
                    for (const Json& item : meanwhile) server.receive(item.dump());
                });
            }
        }
        const bool logs = testCase.value("logs", false);
        std::vector<Json> kept;
        for (const Json& item : sent) {
            if (logs || item.value("method", "") != "window/logMessage") kept.push_back(item);
        }
        const Json expected = substitute(testCase["expect"], exports.string());
        for (std::size_t i = 0; i < std::max(kept.size(), expected.size()); ++i) {
            if (i >= kept.size()) {
                ADD_FAILURE() << "missing message " << i << ": " << expected[i].dump();
                continue;
            }
            if (i >= expected.size()) {
                ADD_FAILURE() << "unexpected message " << i << ": " << kept[i].dump();
                continue;
            }
            std::string where;
            EXPECT_TRUE(matches(expected[i], kept[i], where))
                << "message " << i << " differs at " << where << "\n  got: " << kept[i].dump();
        }
        if (testCase.contains("exitStatus")) {
            EXPECT_EQ(server.exitStatus(), testCase["exitStatus"].get<int>());
        }
        if (testCase.contains("files")) {
            for (const auto& [name, contents] : testCase["files"].items()) {
                const std::string path = substitute(name, exports.string()).get<std::string>();
                std::ifstream in(path, std::ios::binary);
                const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
                EXPECT_EQ(utf8FromCodePage1250(bytes), contents.get<std::string>()) << path;
            }
        }
    }

    std::filesystem::path exports;
};

TEST_F(ProtocolTest, EveryCaseAnswersAsExpected) {
    const Json cases = loadCases();
    ASSERT_FALSE(cases.empty());
    for (const Json& testCase : cases) run(testCase);
}

}  // namespace
}  // namespace lintrel::lsp
