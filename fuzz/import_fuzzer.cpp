// Fuzz target: listing and unnumbering. The first byte picks the platform and
// how the rest is taken (an image or a numbered listing, lenient or strict,
// renumbered or not); the rest is the file. Whatever the bytes, the import
// gives a project or an error with its place, never both, and never an
// internal error; an image that reads is listed too, a line per stored line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/import.h"
#include "require.h"

using lintrel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto platforms = lintrel::acceptedPlatforms();
    const unsigned choice = data[0];
    const lintrel::Platform& platform = platforms[(choice & 0x0F) % platforms.size()];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool asImage = (choice & 0x10) != 0;

    lintrel::ImportRequest request;
    request.bytes = bytes;
    request.fileName = asImage ? "fuzz" + std::string(platform.fileName.substr(platform.fileName.rfind('.')))
                               : std::string("fuzz.bas");
    request.platform = &platform;
    request.lenient = (choice & 0x20) != 0;
    if ((choice & 0x40) != 0) request.renumber = lintrel::Renumbering{100, 5};
    const lintrel::ImportedProject project = lintrel::importProgram(request);
    if (!project.ok()) {
        require(!project.error->text.empty(), "an error without a message");
        require(project.text.empty(), "a project beside an error");
        // An input that cannot be imported is refused with its reason; a
        // project that does not build back is the import's own fault.
        require(!project.error->text.starts_with("Internal error"), "an internal error");
    }
    if (asImage && platform.reader != nullptr) {
        const lintrel::ImageListing listing = lintrel::listImage(bytes, request.fileName, &platform);
        if (!listing.error) require(listing.platform != nullptr, "a listing without its platform");
    }
    return 0;
}
