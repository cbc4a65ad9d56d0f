#include "editor/build_command.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "editor/build_report.h"
#include "editor/command_approval.h"
#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "editor/project_files.h"
#include "export/export.h"
#include "system/start_emulator.h"

namespace lintrel {

namespace {

// The warning count stays long enough to be read, then the panels return.
constexpr int kWarningCountMilliseconds = 8000;

// QProgressBar repaints itself at once when its value moves visibly, so the
// bars follow a build that keeps the event loop waiting.
void moveBar(QProgressBar* bar, int position, int maximum) {
    if (bar->maximum() != maximum) bar->setMaximum(maximum);
    bar->setValue(position);
}

// The warnings the build panel lists: those the build kept (the first
// kKeptWarnings, sorted by place).
std::vector<Diagnostic> buildWarnings(const CompiledProject& compiled) { return compiled.warnings; }

// "1 warning", "N warnings": said in the status bar, never in a message box.
QString warningCountText(std::size_t count) {
    return count == 1 ? QStringLiteral("1 warning") : QStringLiteral("%1 warnings").arg(count);
}

BuildReport startReport(const CompiledProject& compiled) {
    BuildReport report;
    report.finished = QDateTime::currentDateTime();
    if (compiled.platform) report.platform = QString::fromLatin1(compiled.platform->id);
    report.warnings = buildWarnings(compiled);
    return report;
}

}  // namespace

BuildCommand::BuildCommand(const Workspace& workspace, ProjectFiles& files) : workspace_(workspace), files_(files) {}

void BuildCommand::resetProgressBars(int lines) {
    workspace_.passBar->setValue(0);
    workspace_.passBar->setMaximum(lines);
    workspace_.stageBar->setValue(0);
    workspace_.stageBar->setMaximum(4);
}

// A build that ended in an error must not look finished, nor half done.
void BuildCommand::emptyProgressBars() {
    workspace_.passBar->setValue(workspace_.passBar->minimum());
    workspace_.stageBar->setValue(workspace_.stageBar->minimum());
}

void BuildCommand::BitBtnCOMPILLEClick() {
    // A cancelled Save As still builds; a save that failed with an error, or
    // that the user stopped over a file another program changed, does not.
    const SaveOutcome saved = files_.saveForBuild();
    if (saved == SaveOutcome::Failed || saved == SaveOutcome::Stopped) {
        emptyProgressBars();
        return;
    }
    QPlainTextEdit* editor = workspace_.editor;
    const EncodedLines encoded = encodeDocumentLines(*editor->document());
    if (!encoded.ok()) {
        emptyProgressBars();
        workspace_.showGeneralError(encoded.error + QStringLiteral(" The program was not built."));
        return;
    }
    editor->hide();
    workspace_.window->repaint();
    resetProgressBars(static_cast<int>(encoded.lines.size()));
    BuildProgress progress;
    progress.pass = [this](int position, int maximum) { moveBar(workspace_.passBar, position, maximum); };
    progress.stage = [this](int position, int maximum) { moveBar(workspace_.stageBar, position, maximum); };
    const QString& exports = workspace_.folders.exports;
    BuildOptions options{workspace_.spaceRemoval->isChecked()};
    options.warnings.unusedLabels = workspace_.unusedLabels && workspace_.unusedLabels->isChecked();
    const CompiledProject compiled =
        compileProject(encoded.lines, options, QFile::encodeName(exports).toStdString(), progress);
    editor->show();
    showWarningCount(compiled.warningCount);
    BuildReport report = startReport(compiled);
    reportOutcome(compiled, report);
}

void BuildCommand::showWarningCount(std::size_t count) const {
    auto* window = qobject_cast<QMainWindow*>(workspace_.window);
    if (window == nullptr) return;
    if (count == 0) window->statusBar()->clearMessage();
    else window->statusBar()->showMessage(warningCountText(count), kWarningCountMilliseconds);
}

void BuildCommand::publish(const BuildReport& report) const {
    if (workspace_.reportBuild) workspace_.reportBuild(report);
}

bool BuildCommand::resultDialogs() const { return !workspace_.buildDialogs || workspace_.buildDialogs->isChecked(); }

// The diagnostic's line and column count from 0; an empty value selects
// nothing right after its "=". An error without a column (line-number limit,
// a program or line too large) selects its whole line, the caret at its start.
void BuildCommand::SelectError(const Diagnostic& diagnostic) {
    QPlainTextEdit* editor = workspace_.editor;
    const QTextBlock block = editor->document()->findBlockByNumber(diagnostic.line);
    if (!block.isValid()) return;
    const int lineLength = static_cast<int>(block.text().size());
    int anchor = lineLength;
    int caret = 0;
    if (diagnostic.selects) {
        anchor = std::clamp(diagnostic.column, 0, lineLength);
        caret = std::clamp(diagnostic.column + diagnostic.length, anchor, lineLength);
    }
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + anchor);
    cursor.setPosition(block.position() + caret, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->setFocus();
    editor->repaint();
}

void BuildCommand::reportError(const Diagnostic& diagnostic) {
    emptyProgressBars();
    if (diagnostic.line >= 0) SelectError(diagnostic);
    if (resultDialogs()) workspace_.dialogs->showError(workspace_.window, textFromCodePage1250(diagnostic.message));
}

void BuildCommand::reportOutcome(const CompiledProject& compiled, BuildReport& report) {
    if (compiled.error) {
        report.error = compiled.error;
        publish(report);
        reportError(*compiled.error);
        return;
    }
    if (compiled.fileError) {
        emptyProgressBars();
        report.failure = QString::fromStdString(*compiled.fileError);
        publish(report);
        workspace_.showGeneralError(report.failure);
        return;
    }
    report.outputPath = QFileInfo(QFile::decodeName(compiled.file.c_str())).absoluteFilePath();
    report.fileSize = compiled.fileSize;
    report.programSize = compiled.programSize;
    publish(report);
    if (compiled.sizeReport && resultDialogs())
        workspace_.dialogs->showMessage(workspace_.window, QString::fromStdString(*compiled.sizeReport));
    if (!compiled.emulatorCommand.empty()) runEmulator(compiled.emulatorCommand, report.outputPath);
}

// The command runs in the folder that holds Exports/, so a path written
// relative to it ("Exports/Compiled_HT.cas") names the file wherever Lintrel
// was started. The command was written in code page 1250; the system reads
// its own encoding.
void BuildCommand::runEmulator(const std::string& command, const QString& writtenFile) {
    const QString expanded = commandWithFile(textFromCodePage1250(command), writtenFile);
    const QString shown = commandWithFile(visibleCommand(command), writtenFile);
    if (!approveEmulatorCommand(workspace_, command, shown)) return;
    const QString folder = QFileInfo(QDir(workspace_.folders.exports).absolutePath()).absolutePath();
    startEmulator(QFile::encodeName(expanded).toStdString(), QFile::encodeName(folder).toStdString());
}

}  // namespace lintrel
