#include "images/text_export.h"

#include <charconv>

namespace lintrel {
namespace {

enum class Numbers { Spaced, Joined, None };

ImageOutcome writeText(const Program& program, Numbers numbers) {
    ImageOutcome outcome;
    std::vector<unsigned char>& out = outcome.bytes;
    out.reserve(program.allBytes().size() + program.size() * (numbers == Numbers::None ? 2 : 9));
    char digits[16];
    for (std::size_t i = 0; i < program.size(); ++i) {
        if (numbers != Numbers::None) {
            const auto written = std::to_chars(digits, digits + sizeof digits, program.number(i));
            out.insert(out.end(), digits, written.ptr);
            if (numbers == Numbers::Spaced) out.push_back(' ');
        }
        const auto bytes = program.bytes(i);
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return outcome;
}

}  // namespace

ImageOutcome writeSpacedListing(const Program& program, std::string_view) {
    return writeText(program, Numbers::Spaced);
}

ImageOutcome writeListing(const Program& program, std::string_view) { return writeText(program, Numbers::Joined); }

ImageOutcome writeUnnumberedText(const Program& program, std::string_view) {
    return writeText(program, Numbers::None);
}

}  // namespace lintrel
