// What the server offers, one function per request, each taking the
// request's params and giving its result; a fault is an RpcError.
#pragma once

#include <string>
#include <string_view>

#include "lsp/server.h"

namespace lintrel::lsp {

inline constexpr std::string_view kBuildCommand = "lintrel.build";
inline constexpr std::string_view kDiagnosticSource = "lintrel";

// Every build error and warning as diagnostics; a document with characters
// that code page 1250 lacks is not built (as the window refuses to): each of
// them is an error.
Json checkDocument(const Document& document, const BuildOptions& options);
// "The character ... in line N has no code in code page 1250.", as the window says it.
std::string foreignCharacterMessage(const ForeignCharacter& character);

Json inlayHints(Server& server, const Json& params);
Json hover(Server& server, const Json& params);
Json definition(Server& server, const Json& params);
Json references(Server& server, const Json& params);
Json prepareRename(Server& server, const Json& params);
Json rename(Server& server, const Json& params);
Json documentSymbols(Server& server, const Json& params);
Json executeCommand(Server& server, const Json& params);

}  // namespace lintrel::lsp
