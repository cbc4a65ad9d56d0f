// Starting the project's emulator command after a successful build.
#pragma once

#include <string>

namespace lintrel {

// Runs the command line through the shell, detached; never waits and never
// reports a failure to start. With a working folder the command runs there
// (a folder that cannot be entered: it runs where the program runs).
void startEmulator(const std::string& commandLine, const std::string& workingFolder = {});

}  // namespace lintrel
