#include "editor/project_files.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>

#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

const QString kOpenFilter = QStringLiteral("LPJ Project (*.lpj);;Plain text (TXT) (*.txt)");
const QString kSaveFilter = QStringLiteral("LPJ Project (*.lpj)");

}  // namespace

ProjectFiles::ProjectFiles(const Workspace& workspace) : workspace_(workspace) {}

QString ProjectFiles::projectsFolder() const { return workspace_.programFolder + QStringLiteral("/Projects"); }

void ProjectFiles::markChanged() {
    saved_ = false;
    workspace_.setPanel(2, QStringLiteral("Unsaved"));
}

// Yes counts as saved even if the command stops later, so the user is not
// asked twice about the same text.
bool ProjectFiles::confirmDiscard() {
    if (saved_) return true;
    if (!workspace_.dialogs->askYesNo(workspace_.window, QStringLiteral("The project is not saved. Are you sure?")))
        return false;
    saved_ = true;
    return true;
}

void ProjectFiles::NewProject() {
    if (!confirmDiscard()) return;
    QPlainTextEdit* editor = workspace_.editor;
    editor->hide();
    editor->setPlainText(QStringLiteral("&P=BASIC\n&C=10\n&I=10\n\t"));
    editor->show();
    workspace_.save->setEnabled(false);
    workspace_.setPanel(2, {});
    workspace_.setPanel(3, {});
    path_ = kUnnamed;
    saved_ = true;
}

void ProjectFiles::BitBtnLOADClick() {
    if (!confirmDiscard()) return;
    const QString chosen = workspace_.dialogs->chooseOpenFile(workspace_.window, projectsFolder(), kOpenFilter);
    if (chosen.isEmpty()) return;
    if (!QFileInfo(chosen).isFile()) {
        workspace_.showGeneralError(QStringLiteral("File does not exist."));
        return;
    }
    if (!load(chosen)) return;
    path_ = chosen;
    workspace_.setPanel(3, path_);
    workspace_.save->setEnabled(true);
    workspace_.setPanel(2, QStringLiteral("Saved"));
    saved_ = true;
}

// Reads the whole file before touching the editor, so a read error leaves
// the current project as it was.
bool ProjectFiles::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        workspace_.showGeneralError(QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        workspace_.showGeneralError(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    workspace_.editor->setPlainText(textFromProjectBytes(std::string_view(bytes.constData(), bytes.size())));
    return true;
}

SaveOutcome ProjectFiles::Save() {
    if (path_ == kUnnamed) return SaveAS();
    return saveToPath();
}

SaveOutcome ProjectFiles::saveToPath() {
    const SaveOutcome outcome = write();
    if (outcome != SaveOutcome::Written) return outcome;
    workspace_.setPanel(2, QStringLiteral("Saved"));
    workspace_.setPanel(3, path_);
    workspace_.save->setEnabled(true);
    saved_ = true;
    return outcome;
}

// The new text goes to a temporary file that replaces the old one only once
// it is complete; any failure leaves the old file as it was.
SaveOutcome ProjectFiles::write() {
    const EncodedLines encoded = encodeDocumentLines(*workspace_.editor->document());
    if (!encoded.ok()) {
        workspace_.showGeneralError(encoded.error + QStringLiteral(" The project was not saved."));
        return SaveOutcome::Failed;
    }
    const std::string bytes = joinProjectLines(encoded.lines);
    QSaveFile file(path_);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                         file.commit();
    if (!written) {
        workspace_.showGeneralError(QStringLiteral("Cannot write \"%1\": %2").arg(path_, file.errorString()));
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Written;
}

SaveOutcome ProjectFiles::SaveAS() {
    const QString chosen = workspace_.dialogs->chooseSaveFile(workspace_.window, projectsFolder(), path_, kSaveFilter,
                                                              QStringLiteral("lpj"));
    if (chosen.isEmpty()) return SaveOutcome::Cancelled;
    if (QFileInfo::exists(chosen) &&
        !workspace_.dialogs->askYesNo(workspace_.window, QStringLiteral("File already exists. Overwrite?")))
        return SaveOutcome::Cancelled;
    const QString previous = path_;
    path_ = chosen;
    const SaveOutcome outcome = saveToPath();
    if (outcome == SaveOutcome::Failed) path_ = previous;  // the project has no file under the new name
    return outcome;
}

}  // namespace lintrel
