#include "import_commands.h"

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "import/import.h"
#include "system/file_system.h"
#include "text/code_page_1250.h"
#include "text/terminal_text.h"

namespace lintrel::app {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr std::string_view kStandardStream = "-";
constexpr std::size_t kPrintedWarnings = 1000;  // as many as a build prints

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
        } else if (argument.size() > 1 && argument[0] == '-') {
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

std::string displayName(const std::string& file) { return file == kStandardStream ? "<stdin>" : file; }

void printProblem(const std::string& text) { std::cerr << "lintrelc: " << escapeControls(text) << '\n'; }

// The file's name as given, the place and message from code page 1250: both
// escaped, so that no byte of the input reaches the terminal raw.
void printMessage(const std::string& file, const ImportMessage& message, std::string_view kind) {
    std::cerr << escapeControls(displayName(file))
              << escapeControls(utf8FromCodePage1250(describeImportMessage("", message, kind))) << '\n';
}

// The first ones, then only how many more.
void printWarnings(const std::string& file, const std::vector<ImportMessage>& warnings) {
    for (std::size_t k = 0; k < warnings.size() && k < kPrintedWarnings; ++k) printMessage(file, warnings[k], "warning");
    if (warnings.size() > kPrintedWarnings)
        std::cerr << "\u2026 and " << warnings.size() - kPrintedWarnings << " more warnings.\n";
}

std::optional<std::string> readInput(const std::string& file) {
    std::string bytes;
    if (file == kStandardStream) {
        if (const auto reason = readStreamBytes(STDIN_FILENO, bytes)) {
            printProblem("cannot read standard input: " + *reason);
            return std::nullopt;
        }
        return bytes;
    }
    if (const auto reason = readFileBytes(file, bytes)) {
        printProblem("cannot read \"" + file + "\": " + *reason);
        return std::nullopt;
    }
    return bytes;
}

// Standard output closed before anything is read, or a write to it that
// failed (a full disk, a reader gone): a clear error instead of exit 0.
bool standardOutputOpen() {
    if (isOpen(STDOUT_FILENO)) return true;
    printProblem("standard output is closed");
    return false;
}

int finishStandardOutput() {
    std::cout.flush();
    if (std::cout) return 0;
    printProblem("cannot write to standard output");
    return kExitFailed;
}

bool toStandardOutput(const ImportArguments& arguments) {
    return !arguments.output || *arguments.output == kStandardStream || namesStandardOutput(*arguments.output);
}

int list(const ImportArguments& arguments) {
    const auto bytes = readInput(arguments.file);
    if (!bytes) return kExitFailed;
    const ImageListing listing = listImage(*bytes, arguments.file, arguments.platform);
    printWarnings(arguments.file, listing.warnings);
    if (listing.error) {
        printMessage(arguments.file, *listing.error, "error");
        return kExitFailed;
    }
    for (const std::string& line : listing.lines) {
        std::cout << (arguments.rawBytes ? line : utf8FromCodePage1250(line)) << '\n';
        if (!std::cout) break;
    }
    return finishStandardOutput();
}

int import(const ImportArguments& arguments) {
    const auto bytes = readInput(arguments.file);
    if (!bytes) return kExitFailed;
    ImportRequest request;
    request.bytes = *bytes;
    request.fileName = arguments.file;
    request.platform = arguments.platform;
    request.lenient = arguments.lenient;
    request.renumber = arguments.renumber;
    const ImportedProject project = importProgram(request);
    printWarnings(arguments.file, project.warnings);
    if (!project.ok()) {
        printMessage(arguments.file, *project.error, "error");
        return kExitFailed;
    }
    if (toStandardOutput(arguments)) {
        std::cout << project.text;
        return finishStandardOutput();
    }
    const std::vector<unsigned char> text(project.text.begin(), project.text.end());
    if (const auto error = writeFileReplacing(*arguments.output, text)) {
        printProblem(*error);
        return kExitFailed;
    }
    return 0;
}

// Whatever allocation fails, the input is too large for this machine: one
// line, and nothing written.
template <typename Command>
int runGuarded(Command command, const ImportArguments& arguments, std::string_view doing) {
    // A reader that goes away is a write error to report, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return command(arguments);
    } catch (const std::bad_alloc&) {
        printProblem("out of memory while " + std::string(doing) + " " + displayName(arguments.file));
        return kExitFailed;
    }
}

}  // namespace

int runList(int argc, char** argv) {
    ImportArguments arguments;
    if (const auto problem = parse(argc, argv, true, arguments)) return badUsage(kListUsage, *problem);
    if (!standardOutputOpen()) return kExitFailed;
    return runGuarded(list, arguments, "listing");
}

int runImport(int argc, char** argv) {
    ImportArguments arguments;
    if (const auto problem = parse(argc, argv, false, arguments)) return badUsage(kImportUsage, *problem);
    if (toStandardOutput(arguments) && !standardOutputOpen()) return kExitFailed;
    return runGuarded(import, arguments, "importing");
}

}  // namespace lintrel::app
