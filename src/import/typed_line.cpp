#include "import/typed_line.h"

#include "compiler/typed_line.h"

namespace lintrel {

TypedLineReader::TypedLineReader(const Platform& platform) : platform_(platform) {}

std::optional<Diagnostic> TypedLineReader::read(std::string_view text, std::vector<unsigned char>& bytes) {
    auto error = compileTypedLine(platform_, text, bytes);
    if (error) bytes.clear();
    return error;
}

}  // namespace lintrel
