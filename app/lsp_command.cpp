#include "lsp_command.h"

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>

#include "lsp/language_server.h"
#include "system/file_system.h"
#include "system/install_layout.h"
#include "system/options_file.h"

namespace lintrel::app {

int runLanguageServer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kLspUsage << "\n\n"
                      << "Speaks the Language Server Protocol on standard input and output: build errors\n"
                      << "and warnings as you type, the BASIC line numbers, and the labels' definitions,\n"
                      << "references and renaming. Settings of the client override Options.ini's.\n";
            return 0;
        }
        // Clients that start servers with a transport option pass this one.
        if (argument != "--stdio") {
            std::cerr << "lintrelc lsp: unknown option \"" << argument << "\"\n" << kLspUsage << '\n';
            return 2;
        }
    }
    const InstallLayout layout = findInstallLayout(executableFolder(), UserEnvironment::fromProcess());
    const Options stored = readOptions(IniFile::load(layout.optionsFile()));
    lsp::ServerSetup setup;
    setup.options.removeSpaces = stored.spaceRemoval;
    setup.options.warnings.unusedLabels = stored.unusedLabelWarnings;
    setup.exportsFolder = layout.exportsFolder;
    setup.createExportsFolder = layout.kind == LayoutKind::Installed;
    // A client that goes away is a write error that ends the server, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    return lsp::runLanguageServer(STDIN_FILENO, STDOUT_FILENO, std::move(setup));
}

}  // namespace lintrel::app
