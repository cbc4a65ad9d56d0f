#include "editor/dialogs.h"

#include <QCheckBox>
#include <QPushButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace lintrel {

namespace {

const QString kTitle = QStringLiteral("Lintrel");

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

// The proposed name may already be a full path (the current project file).
QString proposedPath(const QString& startFolder, const QString& proposedName) {
    if (QFileInfo(proposedName).isAbsolute()) return proposedName;
    return QDir(startFolder).filePath(proposedName);
}

// Not modal: a modal progress dialog runs the event loop inside update(),
// that is inside the caller's handlers.
class ProgressWindow : public Dialogs::Progress {
public:
    ProgressWindow(QWidget* parent, const QString& text, std::function<void()> cancel)
        : dialog_(text, QStringLiteral("Cancel"), 0, 0, parent) {
        dialog_.setWindowTitle(kTitle);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(0);
        dialog_.setWindowModality(Qt::WindowModal);  // painted and answerable while the work runs
        QObject::connect(&dialog_, &QProgressDialog::canceled, &dialog_, std::move(cancel));
        dialog_.show();
    }
    void update(qint64 done, qint64 total) override {
        if (total <= 0) {
            dialog_.setRange(0, 0);  // a busy bar
            return;
        }
        dialog_.setRange(0, 1000);
        dialog_.setValue(int(std::clamp(done, qint64(0), total) * 1000 / total));
    }

private:
    QProgressDialog dialog_;
};

}  // namespace

// Escape and the title bar would otherwise count as No; a hidden button
// takes them, so the caller can tell a dismissal from an answer.
Dialogs::Answer QtDialogs::ask(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    QPushButton* dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes)) return Answer::Yes;
    if (box.clickedButton() == box.button(QMessageBox::No)) return Answer::No;
    return Answer::Dismissed;
}

void QtDialogs::showError(QWidget* parent, const QString& text) { showBox(parent, QMessageBox::Critical, text); }

void QtDialogs::showInformation(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Information, text);
}

void QtDialogs::showMessage(QWidget* parent, const QString& text) { showBox(parent, QMessageBox::NoIcon, text); }

QString QtDialogs::chooseOpenFile(QWidget* parent, const QString& startFolder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), startFolder, filter);
}

// The program asks about overwriting itself, after the default suffix is on.
QString QtDialogs::chooseSaveFile(QWidget* parent, const QString& startFolder, const QString& proposedName,
                                  const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QStringLiteral("Save As"), startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedPath(startFolder, proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// Sized to a comfortable reading window, but never beyond the screen, so the
// OK button can always be reached; the text scrolls inside it.
void QtDialogs::showText(QWidget* parent, const QString& title, const QString& text) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* view = new QPlainTextEdit(&dialog);
    view->setReadOnly(true);
    view->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    layout->addWidget(buttons);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableGeometry().size() : QSize(800, 600);
    dialog.setMaximumSize(area);
    dialog.resize(QSize(720, 560).boundedTo(area * 0.9));
    dialog.exec();
}

std::unique_ptr<Dialogs::Progress> QtDialogs::showProgress(QWidget* parent, const QString& text,
                                                           std::function<void()> cancel) {
    return std::make_unique<ProgressWindow>(parent, text, std::move(cancel));
}

// Escape and the title bar press Cancel.
Dialogs::Answer QtDialogs::askYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes)) return Answer::Yes;
    if (box.clickedButton() == box.button(QMessageBox::No)) return Answer::No;
    return Answer::Cancel;
}

// The command is shown whole, in a box that wraps anywhere, because a hidden
// part of a shell command is where harm would hide. Return and Escape both
// mean Don't run; running needs a deliberate click or Alt+R.
Dialogs::CommandAnswer QtDialogs::askToRunCommand(QWidget* parent, const QString& command) {
    QDialog dialog(parent);
    dialog.setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Run this emulator command?")));
    auto* shown = new QPlainTextEdit(command);
    shown->setObjectName(QStringLiteral("command"));
    shown->setReadOnly(true);
    shown->setWordWrapMode(QTextOption::WrapAnywhere);
    shown->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    shown->setMinimumWidth(480);
    shown->setMaximumHeight(shown->fontMetrics().lineSpacing() * 6 + 12);
    layout->addWidget(shown);
    auto* always = new QCheckBox(QStringLiteral("Always run this command"));
    layout->addWidget(always);
    auto* buttons = new QDialogButtonBox;
    QPushButton* run = buttons->addButton(QStringLiteral("&Run"), QDialogButtonBox::AcceptRole);
    QPushButton* dontRun = buttons->addButton(QStringLiteral("&Don't run"), QDialogButtonBox::RejectRole);
    run->setAutoDefault(false);
    dontRun->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dontRun->setFocus();
    if (dialog.exec() != QDialog::Accepted) return {};
    return {true, always->isChecked()};
}

Dialogs::ChangedFileAnswer QtDialogs::askAboutChangedFile(QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, kTitle,
                    QStringLiteral("The project file was changed by another program. Overwrite it?"), QMessageBox::NoButton,
                    parent);
    QPushButton* overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::AcceptRole);
    QPushButton* reload = box.addButton(QStringLiteral("Reload it"), QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite) return ChangedFileAnswer::Overwrite;
    if (box.clickedButton() == reload) return ChangedFileAnswer::Reload;
    return ChangedFileAnswer::Cancel;
}

QString QtDialogs::chooseItem(QWidget* parent, const QString& text, const QStringList& items) {
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, kTitle, text, items, 0, false, &chosen);
    return chosen ? item : QString();
}

Dialogs::DiskChangeAnswer QtDialogs::askAboutDiskChange(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::NoButton, parent);
    QPushButton* reload = box.addButton(QStringLiteral("Reload it"), QMessageBox::DestructiveRole);
    QPushButton* keep = box.addButton(QStringLiteral("Keep mine"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == reload ? DiskChangeAnswer::Reload : DiskChangeAnswer::Keep;
}

std::optional<QString> QtDialogs::askText(QWidget* parent, const QString& title, const QString& label,
                                          const QString& initial) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, &accepted);
    if (!accepted) return std::nullopt;
    return text;
}

}  // namespace lintrel
