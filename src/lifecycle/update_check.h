// The version check at start-up: the update server names the current
// version; any other answer than our own forces the update download.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace lintrel {

class Dialogs;

struct UpdateCheck {
    QString server;  // "http://host:port", no trailing slash needed; empty: nothing to ask
    int timeoutMs = 10000;  // per request, so a silent server cannot hang start-up
    std::function<void(const QUrl&)> openFile;  // the shell's "open" for the downloaded archive
};

// Returns true when start-up goes on (no server configured, or the server
// answered exactly our version); false when the program must end. All
// messages go through dialogs.showMessage.
bool checkVersion(const UpdateCheck& check, Dialogs& dialogs, QWidget* owner);

}  // namespace lintrel
