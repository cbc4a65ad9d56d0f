#include "compiler/typed_line.h"

#include <string>

#include "compiler/assembler.h"
#include "compiler/platform_tables.h"
#include "compiler/tokenizer.h"

namespace lintrel {
namespace {

std::optional<Diagnostic> compileLine(const Platform& platform, std::string_view text,
                                      std::vector<unsigned char>& bytes) {
    passes::AssemblerState state;
    state.platform = &platform;
    state.lineNumber = 0;  // a number the limit never stops; the line carries none
    state.removeSpaces = false;
    passes::AssembledLine assembled;
    if (auto error = passes::assembleLine(state, text, 0, assembled)) return error;
    if (assembled.scanEnd < text.size() && text[assembled.scanEnd] == '&') {
        const std::size_t at = assembled.scanEnd;
        return Diagnostic{"\"" + std::string(text.substr(at, 3)) +
                              "\" is a directive here; write {26} for an \"&\" of the program",
                          0, static_cast<int>(at), 3, true};
    }
    if (!assembled.made) return std::nullopt;
    passes::Untranslated untranslated;
    passes::tokenizeLine(passes::tablesOf(platform), assembled.pieces, bytes, untranslated);
    return passes::checkCharacters(platform, untranslated, text, assembled, 0);
}

}  // namespace

std::optional<Diagnostic> compileTypedLine(const Platform& platform, std::string_view text,
                                           std::vector<unsigned char>& bytes) {
    bytes.clear();
    // A "\" in the first column would define a label; after a TAB it is
    // program text like anywhere else.
    if (text.empty() || text[0] != '\\') return compileLine(platform, text, bytes);
    const std::string shifted = "\t" + std::string(text);
    auto error = compileLine(platform, shifted, bytes);
    if (error) error->column = error->column > 0 ? error->column - 1 : 0;
    return error;
}

}  // namespace lintrel
