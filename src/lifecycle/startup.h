// Program entry: application title, the start-up sequence, the event loop,
// and the close handler that asks about unsaved work and writes Options.ini.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "lifecycle/update_check.h"

namespace lintrel {

class MainWindow;

// What start-up takes from outside the window: the site settings of the
// build (Options.ini may override them) and the shell's "open".
struct StartupEnvironment {
    QString updateServer;   // "http://host:port" of the update server; empty: no version check
    QString manualAddress;  // web page of the user manual; empty: the shipped manual.md
    UpdateLimits updateLimits;
    std::function<void(const QUrl&)> openUrl;

    // The build's defaults (LINTREL_UPDATE_SERVER, LINTREL_MANUAL_ADDRESS)
    // and the desktop's "open".
    static StartupEnvironment fromBuild();
};

// FormCreate, run before the window is first shown: caption, version check,
// Options.ini, What's new, size, new project, Help menu and close handler.
// False when the version check ended the program: the window must not be
// shown and Options.ini stays as it was.
bool formCreate(MainWindow& window, const StartupEnvironment& environment);

// FormClose: asks about unsaved work, saves if asked and writes Options.ini.
// False keeps the window open (the user asked to save and it did not happen).
bool formClose(MainWindow& window);

int runProgram(int argc, char** argv);

}  // namespace lintrel
