// F12: saves, builds the editor's lines with the progress bars moving,
// reports an error at its place in the editor, or writes the output file
// into Exports, reports its size and starts the emulator command.
#pragma once

#include "editor/workspace.h"

namespace lintrel {

class ProjectFiles;
struct BuildReport;
struct BuildResult;
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
    void exportProgram(const BuildResult& result, BuildReport& report);
    // The build panel hears of every build that ran.
    void publish(const BuildReport& report) const;
    // Off: the build panel alone reports errors and sizes.
    bool resultDialogs() const;

    const Workspace& workspace_;
    ProjectFiles& files_;
};

}  // namespace lintrel
