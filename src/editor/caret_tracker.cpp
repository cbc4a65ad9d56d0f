#include "editor/caret_tracker.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace lintrel {

CaretTracker::CaretTracker(const Workspace& workspace) : QObject(workspace.window), workspace_(workspace) {}

void CaretTracker::watchEditor() {
    workspace_.editor->installEventFilter(this);
    workspace_.editor->viewport()->installEventFilter(this);
}

bool CaretTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (watched == workspace_.editor) MemoSourceGetPos();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == workspace_.editor->viewport()) MemoSourceGetPos();
        break;
    default:
        break;
    }
    return false;
}

// Constant time in the size of the text, so it can run on every key.
void CaretTracker::MemoSourceGetPos() {
    const QTextCursor cursor = workspace_.editor->textCursor();
    const QTextDocument* document = workspace_.editor->document();
    caret_.index = cursor.selectionEnd();
    const QTextBlock block = document->findBlock(static_cast<int>(caret_.index));
    caret_.line = block.blockNumber();
    caret_.column = caret_.index - block.position();
    const qint64 length = document->characterCount() - 1;  // without the document's closing separator
    workspace_.setPanel(0, QStringLiteral("Length: %1   Lines: %2").arg(length).arg(document->blockCount()));
    workspace_.setPanel(1, QStringLiteral("Line: %1   Pos: %2   SelLen: %3")
                               .arg(caret_.line + 1)
                               .arg(caret_.column + 1)
                               .arg(cursor.selectionEnd() - cursor.selectionStart()));
}

void CaretTracker::Insert1Click(const std::function<void()>& changed) {
    MemoSourceGetPos();
    const qint64 after = caret_.index + 2;
    QTextCursor cursor = workspace_.editor->textCursor();
    cursor.setPosition(static_cast<int>(caret_.index));
    cursor.insertText(QStringLiteral("{}"));
    if (changed) changed();
    cursor.setPosition(static_cast<int>(after));
    workspace_.editor->setTextCursor(cursor);
    MemoSourceGetPos();
}

}  // namespace lintrel
