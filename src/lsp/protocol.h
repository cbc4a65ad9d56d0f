// JSON-RPC errors and the protocol's small shapes (positions, ranges) as JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "lsp/document.h"

namespace lintrel::lsp {

using Json = nlohmann::json;

// The error codes the server answers with.
enum class ErrorCode : int {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002,
    RequestFailed = -32803,
};

// Thrown by a request's handler; the dispatcher answers with it.
struct RpcError : std::runtime_error {
    RpcError(ErrorCode code, const std::string& message) : std::runtime_error(message), code(code) {}
    ErrorCode code;
};

// Message types of window/showMessage and window/logMessage.
enum class MessageType : int { Error = 1, Warning = 2, Info = 3, Log = 4 };

// Diagnostic severities.
enum class Severity : int { Error = 1, Warning = 2, Information = 3, Hint = 4 };

Json toJson(Position position);
Json toJson(const Range& range);
// Throws RpcError (InvalidParams) when the JSON is no position or range.
Position positionFrom(const Json& json);
Range rangeFrom(const Json& json);

// params.textDocument.uri
std::string documentUri(const Json& params);

// Compact JSON; text that is not UTF-8 (a file name, say) is replaced, not thrown on.
std::string serialize(const Json& json);

}  // namespace lintrel::lsp
