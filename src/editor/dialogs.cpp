#include "editor/dialogs.h"

#include <QPushButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

}  // namespace lintrel
