// Every modal dialog the program shows goes through this interface, so tests
// can answer them without a human.
#pragma once

#include <QString>

class QWidget;

namespace lintrel {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Dismissed: closed with Escape or the title bar, neither button pressed.
    enum class Answer { Yes, No, Dismissed };

    // Warning with Yes and No.
    virtual Answer ask(QWidget* parent, const QString& text) = 0;
    // True only for Yes.
    bool askYesNo(QWidget* parent, const QString& text) { return ask(parent, text) == Answer::Yes; }
    // Error icon, one OK button (build errors, the general error display).
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // Information icon, one OK button (What's new, About).
    virtual void showInformation(QWidget* parent, const QString& text) = 0;
    // Plain message box titled "Lintrel", one OK button (size report, version check).
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString chooseOpenFile(QWidget* parent, const QString& startFolder, const QString& filter) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const QString& startFolder, const QString& proposedName,
                                   const QString& filter, const QString& defaultSuffix) = 0;
};

// The real dialogs.
class QtDialogs : public Dialogs {
public:
    Answer ask(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showInformation(QWidget* parent, const QString& text) override;
    void showMessage(QWidget* parent, const QString& text) override;
    QString chooseOpenFile(QWidget* parent, const QString& startFolder, const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& startFolder, const QString& proposedName,
                           const QString& filter, const QString& defaultSuffix) override;
};

}  // namespace lintrel
