#include "import_commands.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "import/import.h"
#include "system/file_system.h"
#include "text/code_page_1250.h"

namespace lintrel::app {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct ImportArguments {
    std::string file;
    std::optional<std::string> output;
    const Platform* platform = nullptr;
    std::optional<Renumbering> renumber;
    bool lenient = false;
    bool rawBytes = false;  // list: code page 1250 as stored, not UTF-8
};

int badUsage(std::string_view usage, const std::string& problem) {
    std::cerr << "lintrelc: " << problem << '\n' << usage << '\n';
    return kExitUsage;
}

// "START,STEP", both from 1 up.
std::optional<Renumbering> parseRenumbering(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto number = [](std::string_view digits) -> std::optional<long> {
        if (digits.empty() || digits.size() > 6) return std::nullopt;
        long value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return value >= 1 ? std::optional<long>(value) : std::nullopt;
    };
    const auto start = number(text.substr(0, comma));
    const auto step = number(text.substr(comma + 1));
    if (!start || !step) return std::nullopt;
    return Renumbering{*start, *step};
}

// Options of both commands; `forList` allows --cp1250 instead of the
// import's own. The problem text when the arguments are wrong.
std::optional<std::string> parse(int argc, char** argv, bool forList, ImportArguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--platform" && hasValue) {
            arguments.platform = findPlatform(argv[++i]);
            if (arguments.platform == nullptr) return "unknown platform \"" + std::string(argv[i]) + "\"";
        } else if (forList && argument == "--cp1250") {
            arguments.rawBytes = true;
        } else if (!forList && argument == "--lenient") {
            arguments.lenient = true;
        } else if (!forList && argument == "--renumber" && hasValue) {
            arguments.renumber = parseRenumbering(argv[++i]);
            if (!arguments.renumber) return "--renumber takes START,STEP (two numbers from 1 up)";
        } else if (!forList && argument == "-o" && hasValue) {
            arguments.output = argv[++i];
        } else if (!argument.empty() && argument[0] == '-') {
            return "unknown option or missing value \"" + std::string(argument) + "\"";
        } else if (!arguments.file.empty()) {
            return "more than one file given: \"" + std::string(argument) + "\"";
        } else {
            arguments.file = argument;
        }
    }
    if (arguments.file.empty()) return std::string("no file given");
    return std::nullopt;
}

std::optional<std::string> readInput(const std::string& file) {
    std::string bytes;
    if (const auto reason = readFileBytes(file, bytes)) {
        std::cerr << "lintrelc: cannot read \"" << file << "\": " << *reason << '\n';
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

int runList(int argc, char** argv) {
    ImportArguments arguments;
    if (const auto problem = parse(argc, argv, true, arguments)) return badUsage(kListUsage, *problem);
    const auto bytes = readInput(arguments.file);
    if (!bytes) return kExitFailed;
    const ImageListing listing = listImage(*bytes, arguments.file, arguments.platform);
    if (listing.error) {
        std::cerr << describeImportMessage(arguments.file, *listing.error, "error") << '\n';
        return kExitFailed;
    }
    for (const std::string& line : listing.lines)
        std::cout << (arguments.rawBytes ? line : utf8FromCodePage1250(line)) << '\n';
    return 0;
}

int runImport(int argc, char** argv) {
    ImportArguments arguments;
    if (const auto problem = parse(argc, argv, false, arguments)) return badUsage(kImportUsage, *problem);
    const auto bytes = readInput(arguments.file);
    if (!bytes) return kExitFailed;
    ImportRequest request;
    request.bytes = *bytes;
    request.fileName = arguments.file;
    request.platform = arguments.platform;
    request.lenient = arguments.lenient;
    request.renumber = arguments.renumber;
    const ImportedProject project = importProgram(request);
    for (const ImportMessage& warning : project.warnings)
        std::cerr << describeImportMessage(arguments.file, warning, "warning") << '\n';
    if (!project.ok()) {
        std::cerr << describeImportMessage(arguments.file, *project.error, "error") << '\n';
        return kExitFailed;
    }
    if (!arguments.output) {
        std::cout << project.text;
        return 0;
    }
    const std::vector<unsigned char> text(project.text.begin(), project.text.end());
    if (const auto error = writeFileReplacing(*arguments.output, text)) {
        std::cerr << "lintrelc: " << *error << '\n';
        return kExitFailed;
    }
    return 0;
}

}  // namespace lintrel::app
