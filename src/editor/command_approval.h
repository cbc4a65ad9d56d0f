// A project's "&E=" is a shell command, and a project can come from anyone:
// the window runs one only when this user approved its exact text, now or
// for good (Options.ini keeps those).
#pragma once

#include <QString>
#include <string>

#include "editor/workspace.h"

namespace lintrel {

// True when the command may run: approved before, or the user chose Run now.
// "Always run this command" adds it to Options.ini at once. The question
// shows `shown`, the command as it will run; the approval is kept for the
// command as the project writes it.
bool approveEmulatorCommand(const Workspace& workspace, const std::string& command, const QString& shown);

// The placeholder an "&E=" command names the written file with.
inline const QString kWrittenFilePlaceholder = QStringLiteral("%FILE%");

// The command with every placeholder replaced by the file's full path,
// quoted for the shell as one argument whatever characters it holds.
QString commandWithFile(const QString& command, const QString& writtenFile);

// The command as the question shows it: control and format characters (a
// soft hyphen) as \xNN with their byte, so nothing in it is invisible.
QString visibleCommand(const std::string& command);

}  // namespace lintrel
