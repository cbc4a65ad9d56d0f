#include "editor/build_command.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "editor/project_files.h"
#include "export/export.h"
#include "system/start_emulator.h"

namespace lintrel {

namespace {

// QProgressBar repaints itself at once when its value moves visibly, so the
// bars follow a build that keeps the event loop waiting.
void moveBar(QProgressBar* bar, int position, int maximum) {
    if (bar->maximum() != maximum) bar->setMaximum(maximum);
    bar->setValue(position);
}

}  // namespace

BuildCommand::BuildCommand(const Workspace& workspace, ProjectFiles& files) : workspace_(workspace), files_(files) {}

void BuildCommand::resetProgressBars(int lines) {
    workspace_.passBar->setValue(0);
    workspace_.passBar->setMaximum(lines);
    workspace_.stageBar->setValue(0);
    workspace_.stageBar->setMaximum(4);
}

void BuildCommand::BitBtnCOMPILLEClick() {
    // A cancelled Save As still builds; a save that failed with an error does not.
    if (files_.Save() == SaveOutcome::Failed) return;
    QPlainTextEdit* editor = workspace_.editor;
    const EncodedLines encoded = encodeDocumentLines(*editor->document());
    if (!encoded.ok()) {
        workspace_.showGeneralError(encoded.error + QStringLiteral(" The program was not built."));
        return;
    }
    editor->hide();
    workspace_.window->repaint();
    resetProgressBars(static_cast<int>(encoded.lines.size()));
    BuildProgress progress;
    progress.pass = [this](int position, int maximum) { moveBar(workspace_.passBar, position, maximum); };
    progress.stage = [this](int position, int maximum) { moveBar(workspace_.stageBar, position, maximum); };
    const QString exports = workspace_.programFolder + QStringLiteral("/Exports");
    const CompiledProject compiled =
        compileProject(encoded.lines, BuildOptions{workspace_.spaceRemoval->isChecked()},
                       QFile::encodeName(exports).toStdString(), progress);
    editor->show();
    reportOutcome(compiled);
}

// The diagnostic's line and column count from 0; an empty value selects
// nothing right after its "=".
void BuildCommand::SelectError(const Diagnostic& diagnostic) {
    QPlainTextEdit* editor = workspace_.editor;
    const QTextBlock block = editor->document()->findBlockByNumber(diagnostic.line);
    if (!block.isValid()) return;
    const int lineLength = static_cast<int>(block.text().size());
    const int start = std::clamp(diagnostic.column, 0, lineLength);
    const int end = std::clamp(diagnostic.column + diagnostic.length, start, lineLength);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->setFocus();
    editor->repaint();
}

void BuildCommand::reportError(const Diagnostic& diagnostic) {
    if (diagnostic.selects && diagnostic.line >= 0) SelectError(diagnostic);
    workspace_.dialogs->showError(workspace_.window, textFromCodePage1250(diagnostic.message));
}

void BuildCommand::reportOutcome(const CompiledProject& compiled) {
    if (compiled.error) {
        reportError(*compiled.error);
        return;
    }
    if (compiled.fileError) {
        workspace_.showGeneralError(QString::fromStdString(*compiled.fileError));
        return;
    }
    if (compiled.sizeReport)
        workspace_.dialogs->showMessage(workspace_.window, QString::fromStdString(*compiled.sizeReport));
    // The command was written in code page 1250; the system reads its own encoding.
    if (!compiled.emulatorCommand.empty())
        startEmulator(QFile::encodeName(textFromCodePage1250(compiled.emulatorCommand)).toStdString());
}

}  // namespace lintrel
