// A project's "&E=" is a shell command, and a project can come from anyone:
// the window runs one only when this user approved its exact text, now or
// for good (Options.ini keeps those).
#pragma once

#include <QString>
#include <string>

#include "editor/workspace.h"

namespace lintrel {

// True when the command may run: approved before, or the user chose Run now.
// "Always run this command" adds it to Options.ini at once.
bool approveEmulatorCommand(const Workspace& workspace, const std::string& command);

// The command as the question shows it: control and format characters (a
// soft hyphen) as \xNN with their byte, so nothing in it is invisible.
QString visibleCommand(const std::string& command);

}  // namespace lintrel
