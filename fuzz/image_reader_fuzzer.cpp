// Fuzz target: one image reader, named by LINTREL_READER_PLATFORM. Whatever
// the bytes, the reader gives lines or a fault inside the file; lines it
// gives lie inside the file, one after another, and writing them again and
// reading that image gives the same lines.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platforms/platforms.h"
#include "require.h"

using lintrel::fuzz::require;

namespace {

bool sameLines(const lintrel::Program& a, const lintrel::Program& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = a.bytes(i);
        const auto y = b.bytes(i);
        if (a.number(i) != b.number(i) || !std::equal(x.begin(), x.end(), y.begin(), y.end())) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lintrel::Platform& platform = *lintrel::findPlatform(LINTREL_READER_PLATFORM);
    const std::span<const unsigned char> image(data, size);
    const lintrel::ImageReading reading = platform.reader(image);
    if (!reading.ok()) {
        require(reading.fault->offset <= size, "a fault past the file's end");
        require(!reading.fault->message.empty(), "a fault without a message");
        require(reading.program.empty(), "lines beside a fault");
        return 0;
    }
    std::size_t after = 0;
    const lintrel::Program& lines = reading.program;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        require(lines.origin(i) >= after, "lines out of file order");
        require(lines.origin(i) + lines.bytes(i).size() <= size, "a line outside the file");
        after = lines.origin(i) + 1;
    }
    // The Homelab reader takes headers of other tools; its lines still make an image.
    const lintrel::Platform& writer =
        reading.platform.empty() ? platform : *lintrel::findPlatform(reading.platform);
    const lintrel::ImageOutcome written = writer.writer(lines, writer.id);
    if (written.error) return 0;  // e.g. a line number past what the build gives
    const lintrel::ImageReading again = writer.reader(written.bytes);
    require(again.ok() && again.platform == writer.id, "a written image that does not read back");
    require(sameLines(lines, again.program), "lines changed by writing and reading again");
    return 0;
}
