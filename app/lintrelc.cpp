// lintrelc: the build of the window for scripts, make files and CI.
//   lintrelc [--exports DIR | -o FILE] [--space-removal on|off] [--run] [-w|--werror]
//            [-Wunused-label] PROJECT
//   lintrelc list [--platform ID] [--cp1250] IMAGE
//   lintrelc import [--platform ID] [--renumber START,STEP] [--lenient] [-o PROJECT] FILE
//   lintrelc lsp [--stdio]          (also started as lintrel-lsp)
// Warnings go to stderr before the usual output and leave the exit code as
// it is. Exit 0 after writing the one output file, 1 on a build or file
// error or on warnings under --werror (nothing written, nothing started),
// 2 on bad usage.
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "import_commands.h"
#include "lsp_command.h"
#include "compiler/diagnostic_text.h"
#include "export/export.h"
#include "system/file_system.h"
#include "system/install_layout.h"
#include "system/options_file.h"
#include "system/start_emulator.h"
#include "system/version.h"
#include "text/terminal_text.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage =
    "usage: lintrelc [--exports DIR | -o FILE] [--space-removal on|off] [--run] [-w|--werror] [-Wunused-label] "
    "PROJECT";
constexpr std::string_view kStandardStream = "-";
constexpr std::string_view kStandardInputName = "<stdin>";
constexpr int kExitBuildOrFile = 1;
constexpr int kExitUsage = 2;

struct Arguments {
    std::optional<fs::path> exports;
    std::optional<fs::path> output;  // "-": standard output
    std::optional<bool> spaceRemoval;
    bool run = false;
    lintrel::WarningOptions warnings;
    std::string project;
};

enum class Request { Build, Help, Version, BadUsage };

struct CommandLine {
    Request request = Request::Build;
    Arguments arguments;
    std::string problem;  // for BadUsage
};

void printHelp() {
    std::cout << kUsage << "\n\n"
              << "Builds a Lintrel project and writes its one output file, as the window's COMPILE does.\n\n"
              << "PROJECT is a regular file of at most 256 MB; - reads it from standard input.\n\n"
              << "  --exports DIR             write into DIR (default: Exports beside lintrelc, or\n"
              << "                            ~/Documents/Lintrel/Exports when installed)\n"
              << "  -o, --output FILE         write the output file to FILE instead, replacing it\n"
              << "                            whole; - writes it to standard output (the size lines\n"
              << "                            then go to standard error)\n"
              << "  --space-removal on|off    remove unnecessary spaces (default: Space_Remove of\n"
              << "                            Options.ini, on when missing)\n"
              << "  --run                     start the project's emulator command after writing\n"
              << "  -w                        print no warnings\n"
              << "  --werror                  take warnings as errors: write nothing, exit 1\n"
              << "  -Wunused-label            also warn about labels that nothing references\n"
              << "  --help                    show this help\n"
              << "  --version                 show the version\n\n"
              << "Exit status: 0 when the file is written; 1 on a build, file or memory error\n"
              << "(nothing is written then); 2 on bad usage.\n\n"
              << lintrel::app::kListUsage << "\n"
              << "Prints an image's program as a numbered listing (UTF-8; --cp1250: as stored).\n\n"
              << lintrel::app::kImportUsage << "\n"
              << "Turns an image, or a numbered listing of the platform given (code page 1250 or\n"
              << "UTF-8; - reads standard input), into a project (code page 1250, CR LF) on\n"
              << "standard output or in PROJECT. --renumber numbers\n"
              << "the lines afresh; --lenient lets unnumbered, repeated and unordered lines pass\n"
              << "with a warning each.\n\n"
              << lintrel::app::kLspUsage << "\n"
              << "Runs the language server for other editors on standard input and output.\n";
}

// Splits "--name=value" or takes the value from the next argument.
std::optional<std::string> optionValue(std::string_view argument, std::string_view name, int& index, int argc,
                                       char** argv) {
    if (argument.size() > name.size() && argument[name.size()] == '=') {
        return std::string(argument.substr(name.size() + 1));
    }
    if (index + 1 >= argc) return std::nullopt;
    return std::string(argv[++index]);
}

CommandLine parseCommandLine(int argc, char** argv) {
    CommandLine line;
    auto bad = [&line](std::string problem) {
        line.request = Request::BadUsage;
        line.problem = std::move(problem);
        return line;
    };
    bool optionsEnded = false;
    bool haveProject = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const std::string_view name = argument.substr(0, argument.find('='));
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (haveProject) return bad("more than one project given: \"" + std::string(argument) + "\"");
            line.arguments.project = argument;
            haveProject = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.request = Request::Help;
            return line;
        } else if (argument == "--version") {
            line.request = Request::Version;
            return line;
        } else if (argument == "--run") {
            line.arguments.run = true;
        } else if (name == "--output" || argument == "-o") {
            const auto value = optionValue(argument, name, i, argc, argv);
            if (!value || value->empty()) return bad(std::string(name) + " needs a file");
            line.arguments.output = fs::path(*value);
        } else if (argument == "-w") {
            line.arguments.warnings.enabled = false;
        } else if (argument == "--werror") {
            line.arguments.warnings.asErrors = true;
        } else if (argument == "-Wunused-label") {
            line.arguments.warnings.unusedLabels = true;
        } else if (name == "--exports") {
            const auto value = optionValue(argument, name, i, argc, argv);
            if (!value || value->empty()) return bad("--exports needs a folder");
            line.arguments.exports = fs::path(*value);
        } else if (name == "--space-removal") {
            const auto value = optionValue(argument, name, i, argc, argv);
            if (value == "on") {
                line.arguments.spaceRemoval = true;
            } else if (value == "off") {
                line.arguments.spaceRemoval = false;
            } else {
                return bad("--space-removal takes on or off");
            }
        } else {
            return bad("unknown option \"" + std::string(argument) + "\"");
        }
    }
    if (!haveProject) return bad("no project given");
    return line;
}

// The two report lines, each on its own terminal line.
void printSizeReport(std::ostream& out, std::string_view report) {
    for (std::size_t at = report.find("\r\n"); at != std::string_view::npos; at = report.find("\r\n")) {
        out << report.substr(0, at) << '\n';
        report.remove_prefix(at + 2);
    }
    out << report << '\n';
}

// Paths and system texts as any other text bound for the terminal.
void printError(const std::string& message) { std::cerr << "lintrelc: " << lintrel::escapeControls(message) << '\n'; }

bool fromStandardInput(const Arguments& arguments) { return arguments.project == kStandardStream; }

std::string projectName(const Arguments& arguments) {
    return fromStandardInput(arguments) ? std::string(kStandardInputName) : arguments.project;
}

// The project's bytes, or nullopt after saying why there are none.
std::optional<std::string> readProject(const Arguments& arguments) {
    std::string bytes;
    if (!fromStandardInput(arguments)) {
        const auto reason = lintrel::readFileBytes(arguments.project, bytes);
        if (!reason) return bytes;
        printError("cannot read \"" + arguments.project + "\": " + *reason);
    } else if (const auto reason = lintrel::readStreamBytes(STDIN_FILENO, bytes)) {
        printError("cannot read standard input: " + *reason);
    } else if (bytes.empty()) {
        printError("standard input is empty");
    } else {
        return bytes;
    }
    return std::nullopt;
}

lintrel::OutputPlace outputPlace(const Arguments& arguments, const fs::path& defaultExports) {
    using Kind = lintrel::OutputPlace::Kind;
    if (arguments.output == kStandardStream || (arguments.output && lintrel::namesStandardOutput(*arguments.output)))
        return {Kind::Stream, {}, STDOUT_FILENO};
    if (arguments.output) return {Kind::File, *arguments.output};
    return {Kind::ExportsFolder, arguments.exports.value_or(defaultExports)};
}

// gcc's form on stderr; past the kept ones only their number.
void printWarnings(const Arguments& arguments, const lintrel::CompiledProject& compiled,
                   std::string_view projectBytes) {
    if (compiled.warnings.empty()) return;
    const std::string_view severity = compiled.stoppedByWarnings ? "error" : "warning";
    lintrel::printDiagnostics(std::cerr, projectName(arguments), compiled.warnings, severity, projectBytes);
    if (compiled.warningCount > compiled.warnings.size())
        std::cerr << "\u2026 and " << compiled.warningCount - compiled.warnings.size() << " more warnings.\n";
}

int compile(const Arguments& arguments) {
    // Checked first, so that nothing is built or written for a report (or an
    // image) that has nowhere to go.
    if (!lintrel::isOpen(STDOUT_FILENO)) {
        printError("standard output is closed");
        return kExitBuildOrFile;
    }
    const lintrel::InstallLayout layout =
        lintrel::findInstallLayout(lintrel::executableFolder(), lintrel::UserEnvironment::fromProcess());
    const std::optional<std::string> projectBytes = readProject(arguments);
    if (!projectBytes) return kExitBuildOrFile;
    lintrel::BuildOptions options;
    // -w wins over --werror: nothing looked for, nothing to stop for.
    options.warnings = arguments.warnings;
    // Options.ini is read only when the command line does not decide.
    options.removeSpaces = arguments.spaceRemoval
                               ? *arguments.spaceRemoval
                               : lintrel::readSpaceRemoval(lintrel::IniFile::load(layout.optionsFile()));
    const lintrel::OutputPlace place = outputPlace(arguments, layout.exportsFolder);
    if (place.kind == lintrel::OutputPlace::Kind::ExportsFolder && !arguments.exports) {
        if (const auto error = lintrel::createUserFolders(layout)) {
            printError(*error);
            return kExitBuildOrFile;
        }
    }
    const bool toStandardOutput = place.kind == lintrel::OutputPlace::Kind::Stream;
    // A reader that goes away is a write error to report, not a silent end.
    if (toStandardOutput) std::signal(SIGPIPE, SIG_IGN);
    // Built from the file's bytes: no second copy of a large project.
    const lintrel::CompiledProject compiled = lintrel::compileProjectText(*projectBytes, options, place);
    printWarnings(arguments, compiled, *projectBytes);
    if (compiled.stoppedByWarnings) {
        printError("warnings taken as errors (--werror): nothing written");
        return kExitBuildOrFile;
    }
    if (compiled.error) {
        std::cerr << lintrel::diagnosticText(projectName(arguments), *compiled.error, *projectBytes);
        return kExitBuildOrFile;
    }
    if (compiled.fileError) {
        printError(lintrel::outputProblem(place, *compiled.fileError));
        return kExitBuildOrFile;
    }
    if (!toStandardOutput) std::cout << compiled.file.string() << '\n';
    if (compiled.sizeReport) printSizeReport(toStandardOutput ? std::cerr : std::cout, *compiled.sizeReport);
    std::cout.flush();

    if (arguments.run && !compiled.emulatorCommand.empty()) lintrel::startEmulator(compiled.emulatorCommand);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 0 && fs::path(argv[0]).filename() == lintrel::app::kLanguageServerName) {
        return lintrel::app::runLanguageServer(argc, argv);
    }
    if (argc > 1 && std::string_view(argv[1]) == "lsp") return lintrel::app::runLanguageServer(argc - 1, argv + 1);
    if (argc > 1 && std::string_view(argv[1]) == "list") return lintrel::app::runList(argc - 1, argv + 1);
    if (argc > 1 && std::string_view(argv[1]) == "import") return lintrel::app::runImport(argc - 1, argv + 1);
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.request) {
    case Request::Help:
        printHelp();
        return 0;
    case Request::Version:
        std::cout << "lintrelc " << lintrel::kProgramVersion << '\n';
        return 0;
    case Request::BadUsage:
        std::cerr << "lintrelc: " << line.problem << '\n' << kUsage << '\n';
        return kExitUsage;
    case Request::Build:
        break;
    }
    // Whatever allocation fails, the project is too large for this machine:
    // one line, and nothing written (a new file is removed on the way out).
    try {
        return compile(line.arguments);
    } catch (const std::bad_alloc&) {
        printError("out of memory while building " + projectName(line.arguments));
        return kExitBuildOrFile;
    }
}
