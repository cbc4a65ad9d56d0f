// F12: saves, compiles the editor's lines into the output file in Exports
// with the progress bars moving, then reports an error at its place in the
// editor, or the file's size, and starts the emulator command.
#pragma once

#include <QString>
#include <cstddef>
#include <string>

#include "editor/workspace.h"

namespace lintrel {

class ProjectFiles;
struct BuildReport;
struct CompiledProject;
struct Diagnostic;

class BuildCommand {
public:
    BuildCommand(const Workspace& workspace, ProjectFiles& files);

    void BitBtnCOMPILLEClick();

private:
    void resetProgressBars(int lines);
    void emptyProgressBars();
    void SelectError(const Diagnostic& diagnostic);
    void reportError(const Diagnostic& diagnostic);
    void reportOutcome(const CompiledProject& compiled, BuildReport& report);
    // "N warnings" in the status bar's message area; nothing when there were none.
    void showWarningCount(std::size_t count) const;
    // The build panel hears of every build that ran.
    void publish(const BuildReport& report) const;
    // Off: the build panel alone reports errors and sizes.
    bool resultDialogs() const;
    void runEmulator(const std::string& command, const QString& writtenFile);

    const Workspace& workspace_;
    ProjectFiles& files_;
};

}  // namespace lintrel
