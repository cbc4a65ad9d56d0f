#include "lsp/server.h"

#include <array>
#include <exception>
#include <new>

#include "lsp/features.h"
#include "system/version.h"

namespace lintrel::lsp {

namespace {

using RequestHandler = Json (*)(Server&, const Json&);
using NotificationHandler = void (*)(Server&, const Json&);

struct RequestRow {
    std::string_view method;
    RequestHandler handle;
};

struct NotificationRow {
    std::string_view method;
    NotificationHandler handle;
};

Json serverCapabilities() {
    return {
        {"positionEncoding", "utf-16"},
        {"textDocumentSync", {{"openClose", true}, {"change", 2 /* incremental */}}},
        {"hoverProvider", true},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"renameProvider", {{"prepareProvider", true}}},
        {"documentSymbolProvider", true},
        {"inlayHintProvider", true},
        {"executeCommandProvider", {{"commands", {kBuildCommand}}}},
    };
}

Json initialize(Server& server, const Json& params) {
    if (server.phase != Phase::Starting) throw RpcError(ErrorCode::InvalidRequest, "initialize was already received");
    if (params.contains("initializationOptions")) {
        applySettings(params["initializationOptions"], server.options, server.exportsFolder);
    }
    server.phase = Phase::Running;
    return {{"capabilities", serverCapabilities()},
            {"serverInfo", {{"name", "lintrel"}, {"version", std::string(kProgramVersion)}}}};
}

Json shutdown(Server& server, const Json&) {
    server.phase = Phase::ShuttingDown;
    server.shutdownReceived = true;
    return nullptr;
}

void exitServer(Server& server, const Json&) { server.phase = Phase::Ended; }

void ignore(Server&, const Json&) {}

std::string textOf(const Json& holder, const char* what) {
    const auto text = holder.find("text");
    if (text == holder.end() || !text->is_string()) {
        throw RpcError(ErrorCode::InvalidParams, std::string(what) + " without \"text\"");
    }
    return text->get<std::string>();
}

int versionOf(const Json& params) {
    const Json& document = params["textDocument"];
    const auto version = document.find("version");
    return version != document.end() && version->is_number_integer() ? version->get<int>() : 0;
}

void didOpen(Server& server, const Json& params) {
    const std::string uri = documentUri(params);
    OpenDocument& document = server.documents[uri];
    document = OpenDocument{};
    document.text = Document(textOf(params["textDocument"], "a document"));
    document.text.version = versionOf(params);
    document.revision = ++server.revisions;
    document.buildDue = Clock::now();
    server.lastChanged = uri;
}

void didChange(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const auto changes = params.find("contentChanges");
    if (changes == params.end() || !changes->is_array()) {
        throw RpcError(ErrorCode::InvalidParams, "a change without \"contentChanges\"");
    }
    for (const Json& change : *changes) {
        std::optional<Range> range;
        if (change.contains("range")) range = rangeFrom(change["range"]);
        if (const auto problem = document.text.applyChange(range, textOf(change, "a change"))) {
            server.log(MessageType::Warning, documentUri(params) + ": " + *problem);
        }
    }
    document.text.version = versionOf(params);
    document.revision = ++server.revisions;
    document.buildDue = Clock::now() + server.setup.rest;
    server.lastChanged = documentUri(params);
}

void didClose(Server& server, const Json& params) {
    const std::string uri = documentUri(params);
    if (server.documents.erase(uri) == 0) return;
    // The client keeps no diagnostics of a closed document.
    server.notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}});
}

void didChangeConfiguration(Server& server, const Json& params) {
    server.options = server.setup.options;
    server.exportsFolder = server.setup.exportsFolder;
    if (params.contains("settings")) applySettings(params["settings"], server.options, server.exportsFolder);
    // Both options change what a build reports and how lines are numbered.
    for (auto& [uri, document] : server.documents) {
        document.buildDue = Clock::now();
        document.lineMapRevision = 0;
        document.labelUsesRevision = 0;
    }
}

constexpr std::array kRequests = {
    RequestRow{"initialize", initialize},
    RequestRow{"shutdown", shutdown},
    RequestRow{"textDocument/inlayHint", inlayHints},
    RequestRow{"textDocument/hover", hover},
    RequestRow{"textDocument/definition", definition},
    RequestRow{"textDocument/references", references},
    RequestRow{"textDocument/prepareRename", prepareRename},
    RequestRow{"textDocument/rename", rename},
    RequestRow{"textDocument/documentSymbol", documentSymbols},
    RequestRow{"workspace/executeCommand", executeCommand},
};

constexpr std::array kNotifications = {
    NotificationRow{"initialized", ignore},
    NotificationRow{"exit", exitServer},
    NotificationRow{"textDocument/didOpen", didOpen},
    NotificationRow{"textDocument/didChange", didChange},
    NotificationRow{"textDocument/didClose", didClose},
    NotificationRow{"textDocument/didSave", ignore},
    NotificationRow{"workspace/didChangeConfiguration", didChangeConfiguration},
};

template <typename Rows>
auto findRow(const Rows& rows, std::string_view method) -> decltype(&rows[0]) {
    for (const auto& row : rows) {
        if (row.method == method) return &row;
    }
    return nullptr;
}

Json errorReply(const Json& id, ErrorCode code, const std::string& message) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", static_cast<int>(code)}, {"message", message}}}};
}

// Runs `work`, turning whatever it throws into an error code and text.
template <typename Work>
std::optional<RpcError> guarded(Work&& work) {
    try {
        work();
        return std::nullopt;
    } catch (const RpcError& error) {
        return error;
    } catch (const Json::exception& error) {
        return RpcError(ErrorCode::InvalidParams, error.what());
    } catch (const std::bad_alloc&) {
        return RpcError(ErrorCode::InternalError, "out of memory");
    } catch (const std::exception& error) {
        return RpcError(ErrorCode::InternalError, error.what());
    }
}

}  // namespace

Server::Server(ServerSetup setupIn, std::function<void(const std::string& body)> sendIn)
    : setup(std::move(setupIn)), options(setup.options), exportsFolder(setup.exportsFolder), send(std::move(sendIn)) {}

void Server::receive(std::string_view body) {
    Json message;
    try {
        message = Json::parse(body);
    } catch (const Json::exception& error) {
        send(serialize(errorReply(nullptr, ErrorCode::ParseError, std::string("the message is not JSON: ") + error.what())));
        return;
    }
    const Json noId;
    const auto idField = message.is_object() ? message.find("id") : message.end();
    const Json& id = message.is_object() && idField != message.end() ? *idField : noId;
    const bool goodId = id.is_null() || id.is_string() || id.is_number_integer();
    const auto methodField = message.is_object() ? message.find("method") : message.end();
    if (!message.is_object() || !goodId || (methodField != message.end() && !methodField->is_string())) {
        send(serialize(errorReply(goodId ? id : Json(), ErrorCode::InvalidRequest, "not a JSON-RPC request or notification")));
        return;
    }
    if (methodField == message.end()) {
        if (!id.is_null() && (message.contains("result") || message.contains("error"))) return;  // an answer to us
        send(serialize(errorReply(id, ErrorCode::InvalidRequest, "a message without \"method\"")));
        return;
    }
    const std::string method = methodField->get<std::string>();
    const Json params = message.contains("params") ? message["params"] : Json::object();
    const bool isRequest = idField != message.end();

    if (!isRequest) {
        const NotificationRow* row = findRow(kNotifications, method);
        if (row == nullptr) {
            if (method.rfind("$/", 0) != 0) log(MessageType::Log, "unknown notification \"" + method + "\" ignored");
            return;
        }
        if (method != "exit" && phase != Phase::Running) return;  // dropped, as the protocol asks
        if (const auto error = guarded([&] { row->handle(*this, params); })) {
            log(MessageType::Error, method + ": " + error->what());
        }
        return;
    }

    const RequestRow* row = findRow(kRequests, method);
    std::optional<RpcError> refusal;
    if (phase == Phase::Starting && method != "initialize") {
        refusal = RpcError(ErrorCode::ServerNotInitialized, "the server is not initialized yet");
    } else if (phase == Phase::ShuttingDown) {
        refusal = RpcError(ErrorCode::InvalidRequest, "the server is shutting down");
    } else if (row == nullptr) {
        refusal = RpcError(ErrorCode::MethodNotFound, "unknown method \"" + method + "\"");
    }
    Json result;
    if (!refusal) refusal = guarded([&] { result = row->handle(*this, params); });
    if (refusal) {
        send(serialize(errorReply(id, refusal->code, refusal->what())));
    } else {
        send(serialize({{"jsonrpc", "2.0"}, {"id", id}, {"result", result}}));
    }
}

void Server::reportProblem(const std::string& problem) { log(MessageType::Error, "input: " + problem); }

std::optional<Clock::time_point> Server::nextBuild() const {
    std::optional<Clock::time_point> next;
    for (const auto& [uri, document] : documents) {
        if (document.buildDue && (!next || *document.buildDue < *next)) next = document.buildDue;
    }
    return next;
}

void Server::runDueBuilds(Clock::time_point now, const std::function<void()>& takeWaitingInput) {
    std::vector<std::string> due;
    for (const auto& [uri, document] : documents) {
        if (document.buildDue && *document.buildDue <= now) due.push_back(uri);
    }
    for (const std::string& uri : due) {
        const auto found = documents.find(uri);
        if (found == documents.end() || !found->second.buildDue) continue;
        OpenDocument& built = found->second;
        built.buildDue.reset();
        const int version = built.text.version;
        const std::uint64_t revision = built.revision;
        Json diagnostics;
        if (const auto error = guarded([&] { diagnostics = checkDocument(built.text, options); })) {
            log(MessageType::Error, uri + ": the build failed: " + error->what());
            continue;
        }
        if (takeWaitingInput) takeWaitingInput();
        const auto still = documents.find(uri);
        // Closed or changed meanwhile: a newer build follows, or nothing is wanted.
        if (still == documents.end() || still->second.revision != revision || still->second.buildDue) continue;
        notify("textDocument/publishDiagnostics",
               {{"uri", uri}, {"version", version}, {"diagnostics", std::move(diagnostics)}});
    }
}

void Server::notify(std::string_view method, Json params) {
    send(serialize({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}));
}

void Server::log(MessageType type, const std::string& text) {
    notify("window/logMessage", {{"type", static_cast<int>(type)}, {"message", "lintrel: " + text}});
}

void Server::showMessage(MessageType type, const std::string& text) {
    notify("window/showMessage", {{"type", static_cast<int>(type)}, {"message", text}});
}

OpenDocument& Server::document(const Json& params) {
    const std::string uri = documentUri(params);
    const auto found = documents.find(uri);
    if (found == documents.end()) throw RpcError(ErrorCode::InvalidParams, "the document is not open: " + uri);
    return found->second;
}

const BasicLineMap& Server::lineMap(OpenDocument& document) {
    if (!document.lineMap || document.lineMapRevision != document.revision) {
        document.lineMap = std::make_shared<const BasicLineMap>(mapBasicLines(document.text.lines(), options));
        document.lineMapRevision = document.revision;
    }
    return *document.lineMap;
}

const LabelUses& Server::labelUses(OpenDocument& document) {
    if (!document.labelUses || document.labelUsesRevision != document.revision) {
        document.labelUses = std::make_shared<const LabelUses>(findLabelUses(document.text.lines(), options));
        document.labelUsesRevision = document.revision;
    }
    return *document.labelUses;
}

void applySettings(const Json& settings, BuildOptions& options, std::filesystem::path& exportsFolder) {
    if (!settings.is_object()) return;
    if (settings.contains("lintrel")) return applySettings(settings["lintrel"], options, exportsFolder);
    const auto flag = [&settings](const char* name, bool& into) {
        const auto found = settings.find(name);
        if (found != settings.end() && found->is_boolean()) into = found->get<bool>();
    };
    flag("spaceRemoval", options.removeSpaces);
    flag("unusedLabelWarnings", options.warnings.unusedLabels);
    const auto exports = settings.find("exportsFolder");
    if (exports != settings.end() && exports->is_string() && !exports->get<std::string>().empty()) {
        exportsFolder = std::filesystem::path(exports->get<std::string>());
    }
}

}  // namespace lintrel::lsp
