// New, Open, Save and Save As: the project path, the saved flag, status
// panels 2 and 3 and the enabled state of Save. Open reads regular files
// only, within size limits; a save never writes over a file that another
// program changed without asking first. The open file is watched: a change
// on disk is reloaded when the editor holds no unsaved edits, and asked
// about when it does.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QFileSystemWatcher;

#include "editor/workspace.h"
#include "platforms/platforms.h"

namespace lintrel {

enum class SaveOutcome {
    Written,    // the file now holds the editor text
    NotNeeded,  // the build found the project saved and its file in place
    Cancelled,  // the user cancelled the dialog or declined to overwrite
    Failed,     // an error was shown; the old file is untouched
    Reloaded,   // the file had changed on disk; the editor now holds its text
    Stopped,    // the file had changed on disk and the user cancelled: no save, no build
};

inline const QString kUnnamed = QStringLiteral("Unnamed");

// Sizes at which Open asks first and refuses.
struct OpenLimits {
    qint64 askAbove = 20LL * 1024 * 1024;
    qint64 refuseAbove = 256LL * 1024 * 1024;
};

// The project file as this window last read or wrote it.
struct FileStamp {
    qint64 size = -1;         // -1: no file
    qint64 modifiedNs = 0;    // modification time, nanoseconds since the epoch
    QByteArray hash;          // SHA-256 of the bytes
};

class ProjectFiles {
public:
    explicit ProjectFiles(const Workspace& workspace, OpenLimits limits = {});
    ~ProjectFiles();

    void NewProject();
    void BitBtnLOADClick();
    // Open without the file dialog (recent projects, the command line, a
    // dropped file): the unsaved question, then the file.
    void openPath(const QString& path);
    // File > Import...: the unsaved question, then an image or a numbered
    // listing becomes a new, unsaved project. A listing is read for the
    // platform the current project names in its first "&P=" line, or the
    // one the user chooses; a listing out of order may be read leniently.
    void importFile();
    SaveOutcome Save();
    SaveOutcome SaveAS();
    // F12's save: only when the project is unsaved or has no file on disk.
    SaveOutcome saveForBuild();

    // The text changed: the project needs saving.
    void markChanged();
    // Undo or redo brought back the text as it was opened or saved.
    void markUnchanged();

    bool isSaved() const { return saved_; }
    void setSaved(bool saved) { saved_ = saved; }
    // "Unnamed" while the project has no file.
    QString projectPath() const { return path_; }
    QString projectsFolder() const;

private:
    struct Loaded {
        QByteArray bytes;
        FileStamp stamp;
    };

    bool confirmDiscard();
    const Platform* listingPlatform();
    bool openFile(const QString& path);
    std::optional<Loaded> readProject(const QString& path);
    bool showText(const QString& text, const QString& path, bool withProgress);
    bool changedOnDisk() const;
    void markClean();
    void watch();
    void fileChangedOnDisk();
    bool reloadKeepingCaret();
    SaveOutcome saveToPath();
    SaveOutcome write();

    const Workspace& workspace_;
    OpenLimits limits_;
    bool saved_ = false;
    QString path_ = kUnnamed;
    QString proposedName_;         // Save As's name for an imported project
    QString lastListingPlatform_;  // the machine last chosen for a listing
    FileStamp stamp_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    FileStamp declined_;  // the file on disk as it was when the user kept the editor's text
};

}  // namespace lintrel
