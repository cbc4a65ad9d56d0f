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
#include "text/nibbles.h"

using lintrel::fuzz::require;

namespace {

// A stored line as the writers take it: its number in the platform's order,
// then its bytes, as nibble pairs.
std::string finishedLine(const lintrel::Platform& platform, const lintrel::StoredLine& line) {
    const unsigned high = static_cast<unsigned>(line.number >> 8) & 0xFF;
    const unsigned low = static_cast<unsigned>(line.number) & 0xFF;
    const bool highFirst = platform.lineNumberForm == lintrel::LineNumberForm::HighByteFirst;
    std::string text;
    lintrel::appendNibblePair(text, highFirst ? high : low);
    lintrel::appendNibblePair(text, highFirst ? low : high);
    for (const unsigned char byte : line.bytes) lintrel::appendNibblePair(text, byte);
    return text;
}

bool sameLines(const lintrel::ImageReading& a, const lintrel::ImageReading& b) {
    if (a.lines.size() != b.lines.size()) return false;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        const auto& x = a.lines[i].bytes;
        const auto& y = b.lines[i].bytes;
        if (a.lines[i].number != b.lines[i].number || !std::equal(x.begin(), x.end(), y.begin(), y.end()))
            return false;
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
        require(reading.lines.empty(), "lines beside a fault");
        return 0;
    }
    std::size_t after = 0;
    for (const auto& line : reading.lines) {
        require(line.offset >= after, "lines out of file order");
        require(line.bytes.data() >= data && line.bytes.data() + line.bytes.size() <= data + size,
                "a line outside the file");
        after = line.offset + 1;
    }
    // The Homelab reader takes headers of other tools; its lines still make an image.
    const lintrel::Platform& writer =
        reading.platform.empty() ? platform : *lintrel::findPlatform(reading.platform);
    std::vector<std::string> lines;
    for (const auto& line : reading.lines) lines.push_back(finishedLine(writer, line));
    const lintrel::ImageOutcome written = writer.writer(lines, writer.id);
    if (written.error) return 0;  // e.g. a line number past what the build gives
    const lintrel::ImageReading again = writer.reader(written.bytes);
    require(again.ok() && again.platform == writer.id, "a written image that does not read back");
    require(sameLines(reading, again), "lines changed by writing and reading again");
    return 0;
}
