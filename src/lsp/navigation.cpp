// Line numbers and labels: inlay hints, hover, go to definition, references,
// rename and the document's symbols, by the window's own rules (the line
// map and the label uses of the core).
#include <algorithm>
#include <string>

#include "lsp/features.h"
#include "text/code_page_1250.h"

namespace lintrel::lsp {

namespace {

constexpr int kSymbolKindFunction = 12;

// The request's position, as a byte column; RpcError when it is off the document.
struct Place {
    int line = 0;
    int byteColumn = 0;
};

Place placeOf(const Document& document, const Json& params) {
    if (!params.contains("position")) throw RpcError(ErrorCode::InvalidParams, "no \"position\"");
    const Position position = positionFrom(params["position"]);
    if (!document.contains(position)) {
        throw RpcError(ErrorCode::InvalidParams, "the position " + std::to_string(position.line) + ":" +
                                                     std::to_string(position.character) +
                                                     " is past the end of the document (" +
                                                     std::to_string(document.lineCount()) + " lines)");
    }
    return {position.line, document.byteColumn(position.line, position.character)};
}

Range rangeOf(const Document& document, const LabelUse& use) {
    return {{use.line, document.utf16Column(use.line, use.column)},
            {use.line, document.utf16Column(use.line, use.column + use.length)}};
}

Json locationOf(const std::string& uri, const Document& document, const LabelUse& use) {
    return {{"uri", uri}, {"range", toJson(rangeOf(document, use))}};
}

const LabelUse* definitionOf(const LabelUses& uses, int label) {
    const auto found = std::find_if(uses.uses.begin(), uses.uses.end(),
                                    [label](const LabelUse& use) { return use.definition && use.label == label; });
    return found == uses.uses.end() ? nullptr : &*found;
}

// The label at the request's position; RpcError when the position is off the document.
const LabelUse* labelAt(Server& server, OpenDocument& document, const Json& params) {
    const Place place = placeOf(document.text, params);
    return findLabelUseAt(server.labelUses(document), place.line, place.byteColumn);
}

std::string numberText(long long number) {
    return number == kNoBasicLine ? std::string("no BASIC line") : "BASIC line " + std::to_string(number);
}

std::string referencesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " reference" : " references");
}

Json hoverJson(const std::string& text, const Range& range) {
    return {{"contents", {{"kind", "plaintext"}, {"value", text}}}, {"range", toJson(range)}};
}

}  // namespace

Json inlayHints(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    if (!params.contains("range")) throw RpcError(ErrorCode::InvalidParams, "no \"range\"");
    const Range range = rangeFrom(params["range"]);
    const BasicLineMap& map = server.lineMap(document);
    Json hints = Json::array();
    const int last = std::min(range.end.line, map.mappedLines - 1);
    for (int line = std::max(range.start.line, 0); line <= last; ++line) {
        const long long number = map.numbers[static_cast<std::size_t>(line)];
        if (number == kNoBasicLine) continue;
        hints.push_back({{"position", toJson(Position{line, 0})},
                         {"label", std::to_string(number)},
                         {"paddingRight", true}});
    }
    return hints;
}

Json hover(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    if (const LabelUse* use = labelAt(server, document, params)) {
        const LabelUses& uses = server.labelUses(document);
        const Range range = rangeOf(document.text, *use);
        if (use->label < 0) return hoverJson("No label of this name is defined.", range);
        const LabelInfo& label = uses.labels[static_cast<std::size_t>(use->label)];
        return hoverJson(utf8FromCodePage1250(label.name) + ": " + numberText(label.basicLine) + ", " +
                             referencesText(label.references),
                         range);
    }
    const Place place = placeOf(document.text, params);
    const BasicLineMap& map = server.lineMap(document);
    if (place.line >= map.mappedLines) return nullptr;
    const long long number = map.numbers[static_cast<std::size_t>(place.line)];
    if (number == kNoBasicLine) return nullptr;
    return hoverJson(numberText(number), {{place.line, 0}, {place.line, document.text.utf16Length(place.line)}});
}

Json definition(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const LabelUse* use = labelAt(server, document, params);
    if (use == nullptr || use->label < 0) return nullptr;
    const LabelUse* defined = definitionOf(server.labelUses(document), use->label);
    if (defined == nullptr) return nullptr;
    return locationOf(documentUri(params), document.text, *defined);
}

Json references(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const LabelUse* use = labelAt(server, document, params);
    if (use == nullptr || use->label < 0) return nullptr;
    const bool withDefinition = params.contains("context") && params["context"].value("includeDeclaration", false);
    const std::string uri = documentUri(params);
    Json locations = Json::array();
    for (const LabelUse& site : server.labelUses(document).uses) {
        if (site.label == use->label && (withDefinition || !site.definition)) {
            locations.push_back(locationOf(uri, document.text, site));
        }
    }
    return locations;
}

Json prepareRename(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const LabelUse* use = labelAt(server, document, params);
    if (use == nullptr || use->label < 0) return nullptr;
    const LabelInfo& label = server.labelUses(document).labels[static_cast<std::size_t>(use->label)];
    return {{"range", toJson(rangeOf(document.text, *use))}, {"placeholder", utf8FromCodePage1250(label.name)}};
}

Json rename(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const LabelUse* use = labelAt(server, document, params);
    if (use == nullptr || use->label < 0) throw RpcError(ErrorCode::RequestFailed, "There is no label here to rename.");
    if (!params.contains("newName") || !params["newName"].is_string()) {
        throw RpcError(ErrorCode::InvalidParams, "no \"newName\"");
    }
    std::string newName;
    if (!bytesFromUtf8(params["newName"].get<std::string>(), newName)) {
        throw RpcError(ErrorCode::RequestFailed, "The new name has a character without a code in code page 1250.");
    }
    const LabelRename plan = planLabelRename(server.labelUses(document), use->label, newName);
    if (plan.refusal) throw RpcError(ErrorCode::RequestFailed, utf8FromCodePage1250(*plan.refusal));
    const std::string newText = utf8FromCodePage1250(plan.newName);
    Json edits = Json::array();
    for (const LabelUse& site : plan.sites) {
        edits.push_back({{"range", toJson(rangeOf(document.text, site))}, {"newText", newText}});
    }
    return {{"changes", {{documentUri(params), std::move(edits)}}}};
}

Json documentSymbols(Server& server, const Json& params) {
    OpenDocument& document = server.document(params);
    const LabelUses& uses = server.labelUses(document);
    Json symbols = Json::array();
    for (std::size_t index = 0; index < uses.labels.size(); ++index) {
        const LabelInfo& label = uses.labels[index];
        const LabelUse* defined = definitionOf(uses, static_cast<int>(index));
        const Range name = defined ? rangeOf(document.text, *defined) : Range{{label.line, 0}, {label.line, 0}};
        const Range line{{label.line, 0}, {label.line, document.text.utf16Length(label.line)}};
        symbols.push_back({{"name", utf8FromCodePage1250(label.name)},
                           {"detail", numberText(label.basicLine) + ", " + referencesText(label.references)},
                           {"kind", kSymbolKindFunction},
                           {"range", toJson(line)},
                           {"selectionRange", toJson(name)}});
    }
    return symbols;
}

}  // namespace lintrel::lsp
