#include "editor/dialogs.h"

#include <QPushButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
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

}  // namespace lintrel
