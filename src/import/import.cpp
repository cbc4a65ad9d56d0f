#include "import/import.h"

#include <algorithm>

#include "images/readers.h"
#include "import/listing.h"
#include "import/numbered_listing.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

struct ImageRead {
    NumberedProgram program;
    std::optional<ImportMessage> error;
    std::vector<ImportMessage> warnings;
    bool isImage = false;  // a reader took the file
};

std::string lowerExtension(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string extension(fileName.substr(dot));
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    return extension;
}

std::string extensionOf(const Platform& platform) { return lowerExtension(platform.fileName); }

// The platforms whose reader is tried: the one given, or those whose images
// carry the file's extension, or every one with a reader.
std::vector<const Platform*> candidates(std::string_view fileName, const Platform* platform) {
    std::vector<const Platform*> found;
    if (platform != nullptr) {
        if (platform->reader != nullptr) found.push_back(platform);
        return found;
    }
    const std::string extension = lowerExtension(fileName);
    for (const Platform& row : acceptedPlatforms()) {
        if (row.reader != nullptr && extensionOf(row) == extension) found.push_back(&row);
    }
    if (!found.empty()) return found;
    for (const Platform& row : acceptedPlatforms()) {
        if (row.reader != nullptr) found.push_back(&row);
    }
    return found;
}

bool hasImageExtension(std::string_view fileName) {
    const std::string extension = lowerExtension(fileName);
    const auto rows = acceptedPlatforms();
    return std::any_of(rows.begin(), rows.end(),
                       [&](const Platform& row) { return row.reader != nullptr && extensionOf(row) == extension; });
}

ImportMessage atOffset(std::size_t offset, std::string text) {
    ImportMessage message;
    message.text = std::move(text);
    message.place.offset = offset;
    return message;
}

// The first reader that takes the file wins (two rows may share a reader, as
// the Homelabs do; the image then says which machine). When none does, the
// fault of the one that read furthest is the likeliest.
ImageRead readImage(std::string_view bytes, std::string_view fileName, const Platform* platform) {
    const std::span<const unsigned char> image(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ImageRead read;
    std::optional<ReadFault> furthest;
    for (const Platform* row : candidates(fileName, platform)) {
        ImageReading reading = row->reader(image);
        if (!reading.ok()) {
            if (!furthest || reading.fault->offset > furthest->offset) furthest = reading.fault;
            continue;
        }
        read.isImage = true;
        read.program.platform = platform != nullptr ? platform : findPlatform(reading.platform);
        if (platform != nullptr && !reading.platform.empty() && reading.platform != platform->id) {
            read.warnings.push_back(atOffset(0, "The image's header is one Lintrel writes for " +
                                                    std::string(reading.platform) + ", not for " +
                                                    std::string(platform->id) + "; it is read as " +
                                                    std::string(platform->id) + " all the same."));
        }
        if (read.program.platform == nullptr) {
            read.error = atOffset(0, "The image does not tell which machine it is for (its header is not one "
                                     "Lintrel writes): name it with --platform.");
            return read;
        }
        read.program.lines = std::move(reading.program);
        return read;
    }
    if (furthest) read.error = atOffset(furthest->offset, furthest->message);
    return read;
}

// A listing in UTF-8 (as `list` prints it), with or without a byte-order
// mark, in code page 1250; other text is code page 1250 already. With a mark,
// a sequence that is not UTF-8 or a character the code page lacks is an
// error at its place.
std::optional<ImportMessage> decodeListing(std::string_view& bytes, std::string& decoded) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = bytes.starts_with(kByteOrderMark);
    if (marked) bytes.remove_prefix(kByteOrderMark.size());
    const bool plainAscii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plainAscii) return std::nullopt;
    std::size_t failedAt = 0;
    if (auto text = codePage1250FromUtf8(bytes, failedAt)) {
        decoded = std::move(*text);
        bytes = decoded;
        return std::nullopt;
    }
    if (!marked) return std::nullopt;
    // The line and column of the fault, lines ending as forEachLine ends them.
    ImportMessage message;
    message.text = "This is not UTF-8 text, or it names a character that code page 1250 lacks, though it "
                   "begins with a UTF-8 byte-order mark.";
    message.place.line = 0;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < failedAt; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        if (bytes[i] == '\r' && i + 1 < failedAt && bytes[i + 1] == '\n') ++i;
        ++message.place.line;
        lineStart = i + 1;
    }
    message.place.column = static_cast<int>(failedAt - lineStart);
    return message;
}

ImportedProject failed(ImportMessage message) {
    ImportedProject project;
    project.error = std::move(message);
    return project;
}

std::string sourceName(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

}  // namespace

ImportedProject importProgram(const ImportRequest& request) {
    UnnumberOptions options;
    options.renumber = request.renumber;
    options.sourceName = sourceName(request.fileName);
    const Platform* platform = request.platform;
    const bool textPlatform = platform != nullptr && platform->reader == nullptr;
    if (!textPlatform) {
        ImageRead read = readImage(request.bytes, request.fileName, platform);
        if (read.isImage || hasImageExtension(request.fileName)) {
            if (read.error) return failed(std::move(*read.error));
            ImportedProject project = unnumber(read.program, options);
            project.warnings.insert(project.warnings.begin(), read.warnings.begin(), read.warnings.end());
            return project;
        }
    }
    if (platform == nullptr) {
        return failed({"This is not an image Lintrel reads (.htp, .pri, .cas); a numbered listing needs "
                       "--platform.",
                       {}});
    }
    std::string_view text = request.bytes;
    std::string decoded;
    if (auto error = decodeListing(text, decoded)) return failed(std::move(*error));
    ListingReading listing = readNumberedListing(text, *platform, request.lenient);
    if (listing.error) {
        ImportedProject project = failed(std::move(*listing.error));
        project.warnings = std::move(listing.warnings);
        return project;
    }
    ImportedProject project = unnumber(listing.program, options);
    project.warnings.insert(project.warnings.begin(), listing.warnings.begin(), listing.warnings.end());
    return project;
}

ImageListing listImage(std::string_view bytes, std::string_view fileName, const Platform* platform) {
    ImageListing listing;
    if (platform != nullptr && platform->reader == nullptr) {
        listing.error = {std::string(platform->id) + " has no images: its programs are numbered listings already.", {}};
        return listing;
    }
    ImageRead read = readImage(bytes, fileName, platform);
    if (!read.isImage && !read.error) read.error = {"This is not an image Lintrel reads (.htp, .pri, .cas).", {}};
    if (read.error) {
        listing.error = std::move(read.error);
        return listing;
    }
    listing.platform = read.program.platform;
    listing.warnings = std::move(read.warnings);
    LineLister lister(*listing.platform);
    ListedLine listed;
    const Program& lines = read.program.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lister.list(lines.bytes(i), listed);
        listing.lines.push_back(std::to_string(lines.number(i)) + (listed.text.empty() ? "" : " " + listed.text));
    }
    return listing;
}

std::string describeImportMessage(std::string_view fileName, const ImportMessage& message, std::string_view kind) {
    std::string text(fileName);
    const InputPlace& place = message.place;
    if (place.line >= 0) {
        text += ":" + std::to_string(place.line + 1);
        if (place.column >= 0) text += ":" + std::to_string(place.column + 1);
        text += ":";
    } else if (place.offset) {
        if (place.basicLine >= 0) text += ": line " + std::to_string(place.basicLine);
        text += place.basicLine >= 0 ? " (" : ": ";
        text += describeFault({*place.offset, ""});
        text.erase(text.size() - 2);  // the ": " describeFault puts before its empty message
        text += place.basicLine >= 0 ? "):" : ":";
    } else {
        text += ":";
    }
    return text + " " + std::string(kind) + ": " + message.text;
}

}  // namespace lintrel
