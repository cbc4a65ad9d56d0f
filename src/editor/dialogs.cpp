#include "editor/dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

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

}  // namespace

// Escape and the title bar would otherwise count as No; a hidden button
// takes them, so the caller can tell a dismissal from an answer.
Dialogs::Answer QtDialogs::ask(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
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

// Modal, so that its bar is painted while the load runs and nothing else in
// the window can be used meanwhile.
void QtDialogs::showProgress(QWidget* parent, const QString& text, int percent) {
    if (!progress_) {
        progress_ = new QProgressDialog(text, QString(), 0, 100, parent);
        progress_->setWindowTitle(kTitle);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    progress_->setLabelText(text);
    progress_->setValue(percent);
}

void QtDialogs::endProgress() { delete progress_.data(); }

}  // namespace lintrel
