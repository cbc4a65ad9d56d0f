// lintrelc: the build of the window for scripts, make files and CI.
//   lintrelc [--exports DIR] [--space-removal on|off] [--run] PROJECT
// Exit 0 after writing the one output file, 1 on a build or file error
// (nothing written, nothing started), 2 on bad usage.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "compiler/diagnostic_text.h"
#include "export/export.h"
#include "system/file_system.h"
#include "system/options_file.h"
#include "system/start_emulator.h"
#include "system/version.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage = "usage: lintrelc [--exports DIR] [--space-removal on|off] [--run] PROJECT";
constexpr int kExitBuildOrFile = 1;
constexpr int kExitUsage = 2;

struct Arguments {
    std::optional<fs::path> exports;
    std::optional<bool> spaceRemoval;
    bool run = false;
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
              << "  --exports DIR             write into DIR (default: Exports beside lintrelc)\n"
              << "  --space-removal on|off    remove unnecessary spaces (default: Space_Remove of\n"
              << "                            Options.ini beside lintrelc, on when missing)\n"
              << "  --run                     start the project's emulator command after writing\n"
              << "  --help                    show this help\n"
              << "  --version                 show the version\n";
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
void printSizeReport(std::string_view report) {
    for (std::size_t at = report.find("\r\n"); at != std::string_view::npos; at = report.find("\r\n")) {
        std::cout << report.substr(0, at) << '\n';
        report.remove_prefix(at + 2);
    }
    std::cout << report << '\n';
}

// The folder is never created, as in the window; a write that failed for
// want of it says so.
void reportFileError(const fs::path& exports, const std::string& error) {
    std::error_code code;
    if (fs::is_directory(exports, code)) {
        std::cerr << "lintrelc: " << error << '\n';
        return;
    }
    const bool exists = fs::exists(exports, code);
    std::cerr << "lintrelc: the exports folder \"" << exports.string() << "\" "
              << (exists ? "is not a folder" : "does not exist") << '\n';
}

int compile(const Arguments& arguments) {
    const fs::path folder = lintrel::executableFolder();
    std::string projectBytes;
    if (const auto reason = lintrel::readFileBytes(arguments.project, projectBytes)) {
        std::cerr << "lintrelc: cannot read \"" << arguments.project << "\": " << *reason << '\n';
        return kExitBuildOrFile;
    }
    lintrel::BuildOptions options;
    // Options.ini is read only when the command line does not decide.
    options.removeSpaces = arguments.spaceRemoval
                               ? *arguments.spaceRemoval
                               : lintrel::readSpaceRemoval(lintrel::IniFile::load(folder / "Options.ini"));
    const fs::path exports = arguments.exports.value_or(folder / "Exports");
    // Built from the file's bytes: no second copy of a large project.
    const lintrel::CompiledProject compiled = lintrel::compileProjectText(projectBytes, options, exports);
    if (compiled.error) {
        std::cerr << lintrel::diagnosticText(arguments.project, *compiled.error, projectBytes);
        return kExitBuildOrFile;
    }
    if (compiled.fileError) {
        reportFileError(exports, *compiled.fileError);
        return kExitBuildOrFile;
    }
    std::cout << compiled.file.string() << '\n';
    if (compiled.sizeReport) printSizeReport(*compiled.sizeReport);
    std::cout.flush();

    if (arguments.run && !compiled.emulatorCommand.empty()) lintrel::startEmulator(compiled.emulatorCommand);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
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
    return compile(line.arguments);
}
