// The language server's state and its dispatch: one message body in, the
// answers and notifications out through `send`. Builds for diagnostics wait
// until a document has rested; the caller's loop runs them when due.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"
#include "compiler/label_uses.h"
#include "compiler/line_map.h"
#include "lsp/document.h"
#include "lsp/protocol.h"

namespace lintrel::lsp {

using Clock = std::chrono::steady_clock;

// What the server starts with; `options` are Options.ini's, which the
// client's settings override.
struct ServerSetup {
    BuildOptions options;
    std::filesystem::path exportsFolder;
    bool createExportsFolder = false;  // made when missing, as the installed layout's is
    // Typing pause before a build, as the window's gutter waits.
    std::chrono::milliseconds rest{40};
};

struct OpenDocument {
    Document text;
    std::uint64_t revision = 0;  // the server's count of opens and changes when it last changed
    std::optional<Clock::time_point> buildDue;  // diagnostics wanted from then on
    std::shared_ptr<const LabelUses> labelUses;  // found at `labelUsesRevision`
    std::uint64_t labelUsesRevision = 0;
    std::shared_ptr<const BasicLineMap> lineMap;  // numbered at `lineMapRevision`
    std::uint64_t lineMapRevision = 0;
};

enum class Phase { Starting, Running, ShuttingDown, Ended };

struct Server {
    Server(ServerSetup setup, std::function<void(const std::string& body)> send);

    // One message body as the reader gave it.
    void receive(std::string_view body);
    // A framing problem of the input: logged to the client.
    void reportProblem(const std::string& problem);

    // When the next build is due, if one is waiting.
    std::optional<Clock::time_point> nextBuild() const;
    // Builds every document that is due at `now`. Before a result goes out,
    // `takeWaitingInput` lets in what arrived meanwhile: a newer change of
    // the document drops the result, which its own build replaces.
    void runDueBuilds(Clock::time_point now, const std::function<void()>& takeWaitingInput);

    bool ended() const { return phase == Phase::Ended; }
    // exit after shutdown: 0, else 1.
    int exitStatus() const { return shutdownReceived ? 0 : 1; }

    void notify(std::string_view method, Json params);
    void log(MessageType type, const std::string& text);
    void showMessage(MessageType type, const std::string& text);
    // The document of params.textDocument.uri; RpcError when it is not open.
    OpenDocument& document(const Json& params);
    // The line map and the labels of the document as it is now, found again
    // when out of date.
    const BasicLineMap& lineMap(OpenDocument& document);
    const LabelUses& labelUses(OpenDocument& document);

    ServerSetup setup;
    BuildOptions options;  // in force: the setup's with the client's settings over them
    std::filesystem::path exportsFolder;
    std::function<void(const std::string&)> send;
    Phase phase = Phase::Starting;
    bool shutdownReceived = false;
    std::map<std::string, OpenDocument> documents;  // by URI
    std::string lastChanged;                         // URI of the document changed last
    std::uint64_t revisions = 0;                     // opens and changes so far
};

// The client's settings over `options`: an object with any of
// "spaceRemoval", "unusedLabelWarnings" (booleans) and "exportsFolder"
// (a path), itself or under "lintrel". Anything else is left alone.
void applySettings(const Json& settings, BuildOptions& options, std::filesystem::path& exportsFolder);

}  // namespace lintrel::lsp
