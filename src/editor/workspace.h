// The window's components as the feature classes see them. The window owns
// them all; the features only borrow these pointers.
#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace lintrel {

class Dialogs;
struct BuildReport;
struct InstallLayout;

// Where the window's files are (system/install_layout.h), as Qt paths.
struct ProgramFolders {
    QString program;   // the executable's folder
    QString data;      // WhatsNew.txt, manual.md
    QString settings;  // holds Options.ini
    QString exports;   // where F12 writes
    QString projects;  // where the file dialogs start

    static ProgramFolders from(const InstallLayout& layout);
    QString optionsFile() const;
};

struct Workspace {
    QWidget* window = nullptr;
    QPlainTextEdit* editor = nullptr;   // MemoSource
    QProgressBar* passBar = nullptr;    // ProgressBar1
    QProgressBar* stageBar = nullptr;   // ProgressBar2
    std::array<QLabel*, 4> panels{};    // status bar panels 0 to 3
    QAction* save = nullptr;            // Save1
    QAction* spaceRemoval = nullptr;    // CB_RUSPACE
    QAction* buildDialogs = nullptr;    // Options > Show build results in dialogs
    QAction* unusedLabels = nullptr;    // Options > Warn about unused labels
    Dialogs* dialogs = nullptr;
    ProgramFolders folders;
    // A project file was opened or saved under this path (Recent projects).
    std::function<void(const QString& path)> projectFileUsed;
    // A build ended, in success or error (the build panel).
    std::function<void(const BuildReport& report)> reportBuild;

    void setPanel(int index, const QString& text) const;
    QString panel(int index) const;
    // The general error display: an error box titled "Lintrel".
    void showGeneralError(const QString& text) const;
    // A note in the status bar's message area, read and gone after a while.
    void say(const QString& text) const;
};

}  // namespace lintrel
