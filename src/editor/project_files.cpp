#include "editor/project_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "import/import.h"
#include "system/file_system.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

const QString kOpenFilter = QStringLiteral("LPJ Project (*.lpj);;Plain text (TXT) (*.txt)");
const QString kImportFilter = QStringLiteral(
    "Images and listings (*.htp *.pri *.cas *.bas *.txt);;Images (*.htp *.pri *.cas);;"
    "Numbered listings (*.bas *.txt);;All files (*)");
const QString kSaveFilter = QStringLiteral("LPJ Project (*.lpj)");
const QString kNewProjectText = QStringLiteral("&P=BASIC\n&C=10\n&I=10\n\t");
constexpr qsizetype kLoadChunk = 1024 * 1024;  // characters put into the editor between two progress steps

QByteArray hashOf(const char* data, qsizetype size) {
    return QCryptographicHash::hash(QByteArrayView(data, size), QCryptographicHash::Sha256);
}

FileStamp stampOf(const struct stat& status) {
    FileStamp stamp;
    stamp.size = status.st_size;
    stamp.modifiedNs = static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

constexpr double kMegabyte = 1024.0 * 1024.0;

QString megabytes(qint64 size) { return QStringLiteral("%1 MB").arg(static_cast<double>(size) / kMegabyte, 0, 'f', 1); }

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Where the chunk that starts at `start` ends: behind a line break, so that
// each chunk adds whole lines.
qsizetype chunkEnd(const QString& text, qsizetype start) {
    if (text.size() - start <= kLoadChunk) return text.size();
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'), start + kLoadChunk);
    return lineBreak < 0 ? text.size() : lineBreak + 1;
}

}  // namespace

ProjectFiles::ProjectFiles(const Workspace& workspace, OpenLimits limits)
    : workspace_(workspace), limits_(limits), watcher_(std::make_unique<QFileSystemWatcher>()) {
    QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, [this] { fileChangedOnDisk(); });
}

ProjectFiles::~ProjectFiles() = default;

// Only the project's file is watched. A save replaces the file, which ends
// the watch, so it is set again after every open and save.
void ProjectFiles::watch() {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    if (path_ != kUnnamed && QFileInfo::exists(path_)) watcher_->addPath(path_);
}

// Our own saves arrive here too; the stamp tells them apart.
void ProjectFiles::fileChangedOnDisk() {
    if (path_ == kUnnamed) return;
    const QString shown = QFileInfo(path_).fileName();
    if (!QFileInfo::exists(path_)) {
        markChanged();  // the text is now only in the editor
        workspace_.say(QStringLiteral("\"%1\" was deleted or renamed by another program; Save writes it again.").arg(shown));
        return;
    }
    watch();
    if (!changedOnDisk()) return;
    if (saved_) {
        if (reloadKeepingCaret())
            workspace_.say(QStringLiteral("\"%1\" was changed by another program and has been reloaded.").arg(shown));
        return;
    }
    struct stat status {};
    FileStamp now = ::stat(QFile::encodeName(path_).constData(), &status) == 0 ? stampOf(status) : FileStamp{};
    if (now.size == declined_.size && now.modifiedNs == declined_.modifiedNs) return;  // asked about already
    const QString question =
        QStringLiteral("\"%1\" was changed by another program. Reload it and lose your unsaved edits, or keep yours?")
            .arg(shown);
    if (workspace_.dialogs->askAboutDiskChange(workspace_.window, question) == Dialogs::DiskChangeAnswer::Reload) {
        reloadKeepingCaret();
        return;
    }
    declined_ = now;
}

bool ProjectFiles::reloadKeepingCaret() {
    QPlainTextEdit* editor = workspace_.editor;
    const int line = editor->textCursor().blockNumber();
    if (!openFile(path_)) return false;
    const QTextBlock block = editor->document()->findBlockByNumber(std::min(line, editor->document()->blockCount() - 1));
    editor->setTextCursor(QTextCursor(block));
    editor->ensureCursorVisible();
    return true;
}

QString ProjectFiles::projectsFolder() const { return workspace_.folders.projects; }

void ProjectFiles::markChanged() {
    saved_ = false;
    workspace_.setPanel(2, QStringLiteral("Unsaved"));
}

void ProjectFiles::markUnchanged() {
    saved_ = true;
    workspace_.setPanel(2, path_ == kUnnamed ? QString() : QStringLiteral("Saved"));
}

// The editor remembers this text as the unchanged one, so that undoing back
// to it can say so.
void ProjectFiles::markClean() {
    saved_ = true;
    workspace_.editor->document()->setModified(false);
}

// Yes only lets the command go on: the text counts as saved once the new
// text has replaced it, so a cancelled or failed Open asks again next time.
bool ProjectFiles::confirmDiscard() {
    if (saved_) return true;
    return workspace_.dialogs->askYesNo(workspace_.window, QStringLiteral("The project is not saved. Are you sure?"));
}

void ProjectFiles::NewProject() {
    if (!confirmDiscard()) return;
    QPlainTextEdit* editor = workspace_.editor;
    editor->hide();
    editor->setPlainText(kNewProjectText);
    editor->show();
    workspace_.setPanel(2, {});
    workspace_.setPanel(3, {});
    path_ = kUnnamed;
    proposedName_.clear();
    stamp_ = {};
    watch();
    markClean();
}

void ProjectFiles::BitBtnLOADClick() {
    if (!confirmDiscard()) return;
    const QString chosen = workspace_.dialogs->chooseOpenFile(workspace_.window, projectsFolder(), kOpenFilter);
    if (!chosen.isEmpty()) openFile(chosen);
}

// The platform of the first "&P=" line at a line's start in `text`.
static const Platform* namedPlatform(const QString& text) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("&P="))) continue;
        const QString id = line.mid(3).section(QLatin1Char('|'), 0, 0).trimmed();
        return findPlatform(id.toStdString());
    }
    return nullptr;
}

// A listing is read for the current project's platform; where it names none
// (or is the new project as File > New made it), the user chooses, the last
// choice offered first. Null when cancelled.
const Platform* ProjectFiles::listingPlatform() {
    const QString text = workspace_.editor->toPlainText();
    const Platform* named = namedPlatform(text);
    if (named != nullptr && text != kNewProjectText) return named;
    QStringList ids;
    if (!lastListingPlatform_.isEmpty()) ids << lastListingPlatform_;
    for (const Platform& row : acceptedPlatforms()) {
        const QString id = QString::fromStdString(std::string(row.id));
        if (!id.isEmpty() && id != lastListingPlatform_) ids << id;
    }
    const QString chosen = workspace_.dialogs->chooseItem(
        workspace_.window, QStringLiteral("Which machine is the numbered listing for?"), ids);
    if (chosen.isEmpty()) return nullptr;
    lastListingPlatform_ = chosen;
    return findPlatform(chosen.toStdString());
}

void ProjectFiles::importFile() {
    if (!confirmDiscard()) return;
    const QString chosen = workspace_.dialogs->chooseOpenFile(workspace_.window, projectsFolder(), kImportFilter);
    if (chosen.isEmpty()) return;
    const std::string fileName = QFile::encodeName(chosen).toStdString();
    std::string bytes;
    if (const auto reason = readFileBytes(fileName, bytes)) {
        workspace_.showGeneralError(QStringLiteral("Cannot read \"%1\": %2").arg(chosen, QString::fromStdString(*reason)));
        return;
    }
    ImportRequest request;
    request.bytes = bytes;
    request.fileName = fileName;
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    const bool image = suffix == QStringLiteral("htp") || suffix == QStringLiteral("pri") || suffix == QStringLiteral("cas");
    if (!image) {  // an image names its own platform
        request.platform = listingPlatform();
        if (request.platform == nullptr) return;
    }
    ImportedProject project = importProgram(request);
    auto describe = [&fileName](const ImportMessage& message, std::string_view kind) {
        return QString::fromStdString(utf8FromCodePage1250(describeImportMessage(fileName, message, kind)));
    };
    if (!project.ok() && !image) {
        // A numbering fault that the lenient reading repairs: offered, with its changes listed after.
        request.lenient = true;
        ImportedProject lenient = importProgram(request);
        if (lenient.ok() && !lenient.warnings.empty() &&
            workspace_.dialogs->askYesNo(workspace_.window,
                                         describe(*project.error, "error") +
                                             QStringLiteral("\n\nImport the listing leniently? Each change it "
                                                            "makes is listed afterwards.")))
            project = std::move(lenient);
    }
    QStringList messages;
    for (const ImportMessage& warning : project.warnings) messages << describe(warning, "warning");
    if (!project.ok()) {
        messages << describe(*project.error, "error");
        workspace_.showGeneralError(messages.join(QLatin1Char('\n')));
        return;
    }
    workspace_.editor->setPlainText(textFromProjectBytes(project.text));
    path_ = kUnnamed;
    proposedName_ = QFileInfo(chosen).completeBaseName() + QStringLiteral(".lpj");
    stamp_ = {};
    watch();
    workspace_.setPanel(3, {});
    markChanged();
    if (!messages.isEmpty()) workspace_.dialogs->showMessage(workspace_.window, messages.join(QLatin1Char('\n')));
}

void ProjectFiles::openPath(const QString& path) {
    if (confirmDiscard()) openFile(path);
}

// Open's work after the file dialog, and Reload's.
bool ProjectFiles::openFile(const QString& path) {
    const std::optional<Loaded> loaded = readProject(path);
    if (!loaded) return false;
    const bool wasSaved = saved_;
    const QString wasShown = workspace_.panel(2);
    if (!showText(textFromProjectBytes(std::string_view(loaded->bytes.constData(), loaded->bytes.size())), path,
                  loaded->bytes.size() > limits_.askAbove)) {
        saved_ = wasSaved;  // the old text is back, as it stood
        workspace_.setPanel(2, wasShown);
        return false;
    }
    path_ = path;
    stamp_ = loaded->stamp;
    declined_ = {};
    watch();
    workspace_.setPanel(3, path_);
    workspace_.setPanel(2, QStringLiteral("Saved"));
    markClean();
    if (workspace_.projectFileUsed) workspace_.projectFileUsed(path_);
    return true;
}

// Reads the whole file before touching the editor, so an error or a No
// leaves the current project as it was. Only a regular file is read (a FIFO
// or a device would block or never end), and never more than the limit, even
// if the file grows meanwhile.
std::optional<ProjectFiles::Loaded> ProjectFiles::readProject(const QString& path) {
    if (!QFileInfo::exists(path)) {
        workspace_.showGeneralError(QStringLiteral("File does not exist."));
        return std::nullopt;
    }
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        workspace_.showGeneralError(QStringLiteral("Cannot open \"%1\": %2").arg(path, systemError()));
        return std::nullopt;
    }
    QFile file;
    file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat status {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        workspace_.showGeneralError(QStringLiteral("Cannot open \"%1\": it is not a regular file.").arg(path));
        return std::nullopt;
    }
    const QString tooLarge = QStringLiteral("Cannot open \"%1\": the project is %2 (%3 bytes); projects over %4 MB are not opened.")
                                 .arg(path, megabytes(status.st_size))
                                 .arg(status.st_size)
                                 .arg(static_cast<double>(limits_.refuseAbove) / kMegabyte);
    if (status.st_size > limits_.refuseAbove) {
        workspace_.showGeneralError(tooLarge);
        return std::nullopt;
    }
    if (status.st_size > limits_.askAbove &&
        !workspace_.dialogs->askYesNo(workspace_.window,
                                      QStringLiteral("The project \"%1\" is %2 and takes a while to open. Open it?")
                                          .arg(path, megabytes(status.st_size))))
        return std::nullopt;
    // One byte more than the size tells a file that grew meanwhile.
    Loaded loaded{file.read(std::min<qint64>(status.st_size, limits_.refuseAbove) + 1), stampOf(status)};
    if (file.error() != QFileDevice::NoError) {
        workspace_.showGeneralError(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (loaded.bytes.size() > limits_.refuseAbove) {
        workspace_.showGeneralError(tooLarge);
        return std::nullopt;
    }
    loaded.stamp.size = loaded.bytes.size();
    loaded.stamp.hash = hashOf(loaded.bytes.constData(), loaded.bytes.size());
    return loaded;
}

// A large text goes in a chunk of lines at a time, the progress shown between
// them; as with setPlainText, loading is no step to undo. Cancel puts the
// text that was there back and reports that nothing was opened.
bool ProjectFiles::showText(const QString& text, const QString& path, bool withProgress) {
    QPlainTextEdit* editor = workspace_.editor;
    if (!withProgress) {
        editor->setPlainText(text);
        return true;
    }
    bool cancelled = false;
    const QString label = QStringLiteral("Opening \"%1\"...").arg(QFileInfo(path).fileName());
    const auto progress = workspace_.dialogs->showProgress(workspace_.window, label, [&cancelled] { cancelled = true; });
    progress->update(0, text.size());
    const QString previous = editor->toPlainText();
    // The first part goes in as any text does, which puts the caret at the
    // start; the rest is added at the end, away from it.
    qsizetype start = chunkEnd(text, 0);
    editor->setPlainText(text.left(start));
    QTextDocument* document = editor->document();
    document->setUndoRedoEnabled(false);
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    while (!cancelled) {
        progress->update(start, text.size());
        if (start == text.size()) break;
        const qsizetype stop = chunkEnd(text, start);
        end.insertText(text.mid(start, stop - start));
        start = stop;
    }
    document->setUndoRedoEnabled(true);
    if (cancelled) editor->setPlainText(previous);
    return !cancelled;
}

SaveOutcome ProjectFiles::Save() {
    if (path_ == kUnnamed) return SaveAS();
    if (changedOnDisk() && saved_) {  // nothing of the editor's to keep: the file's text wins
        return reloadKeepingCaret() ? SaveOutcome::Reloaded : SaveOutcome::Stopped;
    }
    if (changedOnDisk()) {
        switch (workspace_.dialogs->askAboutChangedFile(workspace_.window)) {
        case Dialogs::ChangedFileAnswer::Overwrite:
            break;
        case Dialogs::ChangedFileAnswer::Reload:
            return openFile(path_) ? SaveOutcome::Reloaded : SaveOutcome::Stopped;
        case Dialogs::ChangedFileAnswer::Cancel:
            return SaveOutcome::Stopped;
        }
    }
    return saveToPath();
}

// A saved project whose file is in place is left alone, so a change another
// program made to the file survives F12.
SaveOutcome ProjectFiles::saveForBuild() {
    if (saved_ && path_ != kUnnamed && QFileInfo::exists(path_)) {
        // The file may have changed before its watch was heard: the build
        // takes the text on disk, as reloading it would show.
        if (changedOnDisk() && reloadKeepingCaret()) {
            workspace_.say(QStringLiteral("\"%1\" was changed by another program and has been reloaded.")
                               .arg(QFileInfo(path_).fileName()));
        }
        return SaveOutcome::NotNeeded;
    }
    return Save();
}

// Size first, then the time; only a file touched but the same size is read
// to compare its hash. A missing file has nothing to lose.
bool ProjectFiles::changedOnDisk() const {
    struct stat status {};
    if (::stat(QFile::encodeName(path_).constData(), &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) return true;
    const FileStamp now = stampOf(status);
    if (now.size != stamp_.size) return true;
    if (now.modifiedNs == stamp_.modifiedNs) return false;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return true;
    const QByteArray bytes = file.read(stamp_.size + 1);
    return hashOf(bytes.constData(), bytes.size()) != stamp_.hash;
}

SaveOutcome ProjectFiles::saveToPath() {
    const SaveOutcome outcome = write();
    if (outcome != SaveOutcome::Written) return outcome;
    workspace_.setPanel(2, QStringLiteral("Saved"));
    workspace_.setPanel(3, path_);
    declined_ = {};
    watch();
    markClean();
    if (workspace_.projectFileUsed) workspace_.projectFileUsed(path_);
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
    struct stat status {};
    stamp_ = ::stat(QFile::encodeName(path_).constData(), &status) == 0 ? stampOf(status) : FileStamp{};
    stamp_.size = static_cast<qint64>(bytes.size());
    stamp_.hash = hashOf(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return SaveOutcome::Written;
}

SaveOutcome ProjectFiles::SaveAS() {
    // An imported project proposes the imported file's name.
    const QString proposed = path_ == kUnnamed && !proposedName_.isEmpty() ? proposedName_ : path_;
    const QString chosen = workspace_.dialogs->chooseSaveFile(workspace_.window, projectsFolder(), proposed, kSaveFilter,
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
