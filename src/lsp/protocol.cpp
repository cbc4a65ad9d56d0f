#include "lsp/protocol.h"

#include <limits>

namespace lintrel::lsp {

namespace {

int coordinate(const Json& json, const char* name) {
    const auto found = json.find(name);
    if (found == json.end() || !found->is_number_integer()) {
        throw RpcError(ErrorCode::InvalidParams, std::string("a position without a whole number \"") + name + "\"");
    }
    const auto value = found->get<long long>();
    if (value < 0 || value > std::numeric_limits<int>::max()) {
        throw RpcError(ErrorCode::InvalidParams, std::string("a position whose \"") + name + "\" is out of range: " +
                                                     std::to_string(value));
    }
    return static_cast<int>(value);
}

}  // namespace

Json toJson(Position position) { return {{"line", position.line}, {"character", position.character}}; }

Json toJson(const Range& range) { return {{"start", toJson(range.start)}, {"end", toJson(range.end)}}; }

Position positionFrom(const Json& json) {
    if (!json.is_object()) throw RpcError(ErrorCode::InvalidParams, "a position that is not an object");
    return {coordinate(json, "line"), coordinate(json, "character")};
}

Range rangeFrom(const Json& json) {
    if (!json.is_object() || !json.contains("start") || !json.contains("end")) {
        throw RpcError(ErrorCode::InvalidParams, "a range without \"start\" and \"end\"");
    }
    return {positionFrom(json["start"]), positionFrom(json["end"])};
}

std::string documentUri(const Json& params) {
    const auto document = params.find("textDocument");
    if (document == params.end() || !document->is_object() || !document->contains("uri") ||
        !(*document)["uri"].is_string()) {
        throw RpcError(ErrorCode::InvalidParams, "no textDocument.uri");
    }
    return (*document)["uri"].get<std::string>();
}

std::string serialize(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace lintrel::lsp
