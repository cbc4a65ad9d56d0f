// The window's components as the feature classes see them. The window owns
// them all; the features only borrow these pointers.
#pragma once

#include <QString>
#include <array>

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace lintrel {

class Dialogs;

struct Workspace {
    QWidget* window = nullptr;
    QPlainTextEdit* editor = nullptr;   // MemoSource
    QProgressBar* passBar = nullptr;    // ProgressBar1
    QProgressBar* stageBar = nullptr;   // ProgressBar2
    std::array<QLabel*, 4> panels{};    // status bar panels 0 to 3
    QAction* save = nullptr;            // Save1
    QAction* spaceRemoval = nullptr;    // CB_RUSPACE
    Dialogs* dialogs = nullptr;
    QString programFolder;

    void setPanel(int index, const QString& text) const;
    QString panel(int index) const;
    // The general error display: an error box titled "Lintrel".
    void showGeneralError(const QString& text) const;
};

}  // namespace lintrel
