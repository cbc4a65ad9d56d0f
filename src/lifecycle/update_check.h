// The version check at start-up: the update server names the current
// version; any other answer than our own forces the update download.
#pragma once

#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace lintrel {

class Dialogs;

// Limits that keep a slow, broken or hostile server from hanging start-up
// or filling the disk. Each deadline counts from the request, whatever arrives.
struct UpdateLimits {
    int answerDeadlineMs = 10'000;         // the version question
    int downloadDeadlineMs = 10 * 60'000;  // the whole update archive
    qint64 archiveBytes = 256 << 20;       // the largest archive taken
};

struct UpdateCheck {
    QString server;  // "http://host:port", no trailing slash needed; empty: nothing to ask
    UpdateLimits limits;
    std::function<void(const QUrl&)> openFile;  // the shell's "open" for the downloaded archive
};

// Returns true when start-up goes on (no server configured, or the server
// answered our version); false when the program must end. All messages go
// through dialogs.showMessage, the download's progress through dialogs.showProgress.
bool checkVersion(const UpdateCheck& check, Dialogs& dialogs, QWidget* owner);

}  // namespace lintrel
