// Starting the project's emulator command after a successful build.
#pragma once

#include <string>

namespace lintrel {

// Runs the command line through the shell, detached; never waits and never
// reports a failure to start.
void startEmulator(const std::string& commandLine);

}  // namespace lintrel
