// "lintrel.build": the open project compiled and written as the window's
// COMPILE writes it, with the file and its sizes reported. The project's
// emulator command is not started: the window asks before it runs one, and
// the server has no way to ask.
#include <system_error>

#include "export/export.h"
#include "lsp/features.h"
#include "text/code_page_1250.h"

namespace lintrel::lsp {

namespace {

// The document named by the command's first argument (a URI, or an object
// with "uri"), else the one changed last.
std::string commandDocument(const Server& server, const Json& params) {
    const auto arguments = params.find("arguments");
    if (arguments != params.end() && arguments->is_array() && !arguments->empty()) {
        const Json& first = (*arguments)[0];
        if (first.is_string()) return first.get<std::string>();
        if (first.is_object() && first.contains("uri") && first["uri"].is_string()) return first["uri"].get<std::string>();
        throw RpcError(ErrorCode::InvalidParams, "lintrel.build takes the document's URI");
    }
    if (server.lastChanged.empty() || !server.documents.contains(server.lastChanged)) {
        throw RpcError(ErrorCode::RequestFailed, "No project is open to build.");
    }
    return server.lastChanged;
}

// "line:column: message" as the build panel shows it, counted from 1.
std::string diagnosticLine(const Diagnostic& diagnostic) {
    const std::string message = utf8FromCodePage1250(diagnostic.message);
    if (diagnostic.line < 0) return message;
    return std::to_string(diagnostic.line + 1) + ":" + std::to_string(diagnostic.column + 1) + ": " + message;
}

std::string bytesText(long long size) { return std::to_string(size) + " bytes"; }

// Only the default folder of an installed layout is made, as lintrelc makes it.
void prepareExportsFolder(const Server& server) {
    if (!server.setup.createExportsFolder || server.exportsFolder != server.setup.exportsFolder) return;
    std::error_code error;
    std::filesystem::create_directories(server.exportsFolder, error);
    if (error) {
        throw RpcError(ErrorCode::RequestFailed,
                       "Cannot make the folder \"" + server.exportsFolder.string() + "\": " + error.message());
    }
}

}  // namespace

Json executeCommand(Server& server, const Json& params) {
    if (params.value("command", std::string()) != kBuildCommand) {
        throw RpcError(ErrorCode::InvalidParams, "unknown command \"" + params.value("command", std::string()) + "\"");
    }
    const std::string uri = commandDocument(server, params);
    const OpenDocument& document = server.document({{"textDocument", {{"uri", uri}}}});
    if (document.text.hasForeignCharacters()) {
        throw RpcError(ErrorCode::RequestFailed, foreignCharacterMessage(document.text.foreignCharacters().front()));
    }
    prepareExportsFolder(server);
    const CompiledProject compiled = compileProject(document.text.lines(), server.options, server.exportsFolder);
    if (compiled.error) throw RpcError(ErrorCode::RequestFailed, diagnosticLine(*compiled.error));
    if (compiled.fileError) throw RpcError(ErrorCode::RequestFailed, *compiled.fileError);
    if (compiled.stoppedByWarnings) throw RpcError(ErrorCode::RequestFailed, "Warnings taken as errors: nothing written.");

    std::string written = compiled.file.string() + ", " + bytesText(compiled.fileSize);
    if (compiled.programSize) written += ", BASIC code " + bytesText(*compiled.programSize);
    server.showMessage(MessageType::Info, written);
    Json result = {{"file", compiled.file.string()}, {"fileSize", compiled.fileSize}, {"warnings", compiled.warningCount}};
    if (compiled.programSize) result["programSize"] = *compiled.programSize;
    if (compiled.sizeReport) result["sizeReport"] = *compiled.sizeReport;
    return result;
}

}  // namespace lintrel::lsp
