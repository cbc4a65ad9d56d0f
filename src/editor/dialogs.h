// Every modal dialog the program shows goes through this interface, so tests
// can answer them without a human.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace lintrel {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Dismissed: closed with Escape or the title bar, neither button pressed.
    // Cancel: the Cancel button, or Escape, where a question offers Cancel.
    enum class Answer { Yes, No, Dismissed, Cancel };

    // Warning with Yes and No; No is the default button, since every such
    // question's Yes gives something up.
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
    // A long text in a scrollable window that fits the screen, one OK button (What's new).
    virtual void showText(QWidget* parent, const QString& title, const QString& text) = 0;

    // How far long work has got, in a window with a Cancel button that stays
    // until this object goes. The work goes on in the caller's event loop.
    class Progress {
    public:
        virtual ~Progress() = default;
        virtual void update(qint64 done, qint64 total) = 0;  // total <= 0: not known
    };
    // cancel runs when the user presses Cancel or closes the window.
    virtual std::unique_ptr<Progress> showProgress(QWidget* parent, const QString& text,
                                                   std::function<void()> cancel) = 0;

    // Warning with Yes, No and Cancel; Escape and the title bar answer Cancel.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;

    // "Run this emulator command?" with the command in full, Run and Don't
    // run, and the check box "Always run this command". Escape: Don't run.
    struct CommandAnswer {
        bool run = false;
        bool always = false;  // only meaningful with run
    };
    virtual CommandAnswer askToRunCommand(QWidget* parent, const QString& command) = 0;

    // "The project file was changed by another program. Overwrite it?" with
    // Overwrite, Reload it and Cancel. Escape: Cancel.
    enum class ChangedFileAnswer { Overwrite, Reload, Cancel };
    virtual ChangedFileAnswer askAboutChangedFile(QWidget* parent) = 0;

    // One of `items` (the first one selected), or empty when cancelled.
    virtual QString chooseItem(QWidget* parent, const QString& text, const QStringList& items) = 0;
    // The open project changed on disk while the editor holds unsaved edits:
    // `text` says how, with Reload it and Keep mine. Default and Escape: Keep mine.
    enum class DiskChangeAnswer { Reload, Keep };
    virtual DiskChangeAnswer askAboutDiskChange(QWidget* parent, const QString& text) = 0;

    // One line of text (Rename label); nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                           const QString& initial) = 0;
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
    void showText(QWidget* parent, const QString& title, const QString& text) override;
    std::unique_ptr<Progress> showProgress(QWidget* parent, const QString& text,
                                           std::function<void()> cancel) override;
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    CommandAnswer askToRunCommand(QWidget* parent, const QString& command) override;
    ChangedFileAnswer askAboutChangedFile(QWidget* parent) override;
    QString chooseItem(QWidget* parent, const QString& text, const QStringList& items) override;
    DiskChangeAnswer askAboutDiskChange(QWidget* parent, const QString& text) override;
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& initial) override;
};

}  // namespace lintrel
