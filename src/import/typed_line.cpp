#include "import/typed_line.h"

#include "compiler/passes.h"
#include "text/nibbles.h"

namespace lintrel {

TypedLineReader::TypedLineReader(const Platform& platform) : platform_(platform) {}

std::optional<Diagnostic> TypedLineReader::read(std::string_view text, std::vector<unsigned char>& bytes) {
    bytes.clear();
    passes::AssemblerState state;
    state.platform = &platform_;
    state.lineNumber = 0;  // a number the limit never stops; it is dropped below
    state.removeSpaces = false;
    // A "\" in the first column would define a label; after a TAB it is
    // program text like anywhere else.
    const bool shifted = !text.empty() && text[0] == '\\';
    if (shifted) {
        source_.assign(1, '\t');
        source_ += text;
        text = source_;
    }
    passes::AssembledLine assembled;
    auto error = passes::assembleLine(state, text, 0, assembled);
    if (!error) error = finish(text, assembled, bytes);
    if (error && shifted) error->column = error->column > 0 ? error->column - 1 : 0;
    return error;
}

std::optional<Diagnostic> TypedLineReader::finish(std::string_view text, passes::AssembledLine& assembled,
                                                  std::vector<unsigned char>& bytes) {
    if (assembled.scanEnd < text.size() && text[assembled.scanEnd] == '&') {
        const std::size_t at = assembled.scanEnd;
        return Diagnostic{"\"" + std::string(text.substr(at, 3)) +
                              "\" is a directive here; write {26} for an \"&\" of the program",
                          0, static_cast<int>(at), 3, true};
    }
    std::string& line = assembled.text;
    if (line.empty()) return std::nullopt;
    passes::encodeNibbles(line, scratch_);
    line.swap(scratch_);
    passes::tokenizeLine(passes::tablesOf(platform_), line, scratch_);
    if (auto error = passes::checkCharacters(platform_, line, text, assembled, 0)) return error;
    decodeLine(line, bytes);
    bytes.erase(bytes.begin(), bytes.begin() + 2);  // the line number
    return std::nullopt;
}

}  // namespace lintrel
