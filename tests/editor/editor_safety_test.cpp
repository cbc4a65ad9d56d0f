// Keys that never destroy text (Tab over a selection, "\" after an automatic
// indent), the button that keeps the work as the default, the status bar
// after every kind of caret move, and how a build's errors and warnings show.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "editor/build_panel.h"
#include "editor/code_editor.h"
#include "editor/go_to_dialog.h"
#include "editor/label_tools.h"
#include "editor/line_numbering.h"
#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;

namespace {

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Selects from (line, column) to (line, column) of the editor.
void selectRange(QPlainTextEdit* editor, int fromLine, int fromColumn, int toLine, int toColumn) {
    QTextDocument* document = editor->document();
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(fromLine).position() + fromColumn);
    cursor.setPosition(document->findBlockByNumber(toLine).position() + toColumn, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

// Presses Return in whatever modal box is open once the event loop runs.
void pressReturnInTheNextBox() {
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        if (box) QTest::keyClick(box, Qt::Key_Return);
    });
}

}  // namespace

class EditorSafetyTest : public QObject {
    Q_OBJECT
private slots:
    void tabAndShiftTabWorkOnTheSelectedLines_data();
    void tabAndShiftTabWorkOnTheSelectedLines();
    void backslashAfterAnAutomaticIndentDefinesALabel();
    void pastedTextIsNeverReindented();
    void referenceToNoLabelIsUnderlined();
    void returnKeepsTheWorkInEveryDiscardingQuestion();
    void everyCaretMoveUpdatesTheStatusBar();
    void failedBuildShowsUntilTheNextEdit();
};

void EditorSafetyTest::tabAndShiftTabWorkOnTheSelectedLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("selection");  // from line, column, to line, column
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("expected");
    const QString four = QStringLiteral("A\nB\nC\nD\nE");
    QTest::newRow("four lines indent") << four << QList<int>{0, 0, 3, 1} << false << "\tA\n\tB\n\tC\n\tD\nE";
    QTest::newRow("selection ending at a line's start leaves it") << four << QList<int>{1, 0, 3, 0} << false
                                                                   << "A\n\tB\n\tC\nD\nE";
    QTest::newRow("partly selected lines count whole") << QStringLiteral("AB\nCD") << QList<int>{0, 1, 1, 1} << false
                                                        << "\tAB\n\tCD";
    QTest::newRow("Shift+Tab takes one TAB") << QStringLiteral("\t\tA\n\tB\nC") << QList<int>{0, 0, 2, 1} << true
                                             << "\tA\nB\nC";
    QTest::newRow("Shift+Tab takes up to four spaces") << QStringLiteral("      A\n  B") << QList<int>{0, 0, 1, 1}
                                                       << true << "  A\nB";
    QTest::newRow("Shift+Tab without a selection: the caret's line") << QStringLiteral("\tA\n\tB")
                                                                     << QList<int>{1, 1, 1, 1} << true << "\tA\nB";
    QTest::newRow("Tab inside one line still types a TAB") << QStringLiteral("AB") << QList<int>{0, 0, 0, 1}
                                                           << false << "\tB";
}

// Four selected lines became one TAB: 30 lines turned into 26, and the next
// F12 saved that.
void EditorSafetyTest::tabAndShiftTabWorkOnTheSelectedLines() {
    QFETCH(QString, text);
    QFETCH(QList<int>, selection);
    QFETCH(bool, shift);
    QFETCH(QString, expected);
    WindowFixture f;
    showActive(f.window.get());
    f.setText(text);
    f.editor()->document()->clearUndoRedoStacks();
    selectRange(f.editor(), selection[0], selection[1], selection[2], selection[3]);
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), shift ? Qt::Key_Backtab : Qt::Key_Tab, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(f.editor()->toPlainText(), expected);
    f.editor()->undo();  // one step
    QCOMPARE(f.editor()->toPlainText(), text);
}

// Return on an indented line starts the next with a TAB; "\" typed there
// made a reference, not a definition, and only a later warning told.
void EditorSafetyTest::backslashAfterAnAutomaticIndentDefinesALabel() {
    WindowFixture f;
    showActive(f.window.get());
    f.setText(QStringLiteral("\tPRINT 1"));
    f.editor()->moveCursor(QTextCursor::End);
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QCOMPARE(f.line(1), QStringLiteral("\t"));
    QTest::keyClicks(f.editor(), QStringLiteral("\\loop PRINT 2"));
    QCOMPARE(f.line(1), QStringLiteral("\\loop PRINT 2"));
    f.editor()->undo();  // the typing after the backslash, then the backslash with its move
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QTest::keyClicks(f.editor(), QStringLiteral("\tGOTO \\loop"));  // not at a line's start: stays
    QVERIFY(f.editor()->toPlainText().endsWith(QStringLiteral("\tGOTO \\loop")));
}

void EditorSafetyTest::pastedTextIsNeverReindented() {
    WindowFixture f;
    showActive(f.window.get());
    f.setText(QStringLiteral("\tPRINT 1"));
    f.editor()->moveCursor(QTextCursor::End);
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QApplication::clipboard()->setText(QStringLiteral("\\start A\n  B\n\\end"));
    f.editor()->paste();
    QCOMPARE(f.editor()->toPlainText(), QStringLiteral("\tPRINT 1\n\t\\start A\n  B\n\\end"));
}

// An indented "\name" that no line defines looked exactly like a definition.
void EditorSafetyTest::referenceToNoLabelIsUnderlined() {
    WindowFixture f;
    f.setText(QStringLiteral("&P=BASIC\n\\known PRINT 1\n\t\\typo PRINT 2\n\tGOTO \\known"));
    f.window->lineNumbering()->refreshNow();
    QTRY_VERIFY(!f.editor()->extraSelections().isEmpty());
    const QList<QTextEdit::ExtraSelection> marks = f.editor()->extraSelections();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks[0].cursor.selectedText(), QStringLiteral("\\typo"));
    QCOMPARE(marks[0].format.underlineStyle(), QTextCharFormat::WaveUnderline);
}

// Enter in "The project is not saved. Are you sure?" threw the work away.
void EditorSafetyTest::returnKeepsTheWorkInEveryDiscardingQuestion() {
    QtDialogs dialogs;
    pressReturnInTheNextBox();
    QCOMPARE(dialogs.ask(nullptr, QStringLiteral("The project is not saved. Are you sure?")), Dialogs::Answer::No);
    pressReturnInTheNextBox();
    QCOMPARE(dialogs.askAboutChangedFile(nullptr), Dialogs::ChangedFileAnswer::Cancel);
    pressReturnInTheNextBox();
    QCOMPARE(dialogs.askAboutDiskChange(nullptr, QStringLiteral("changed")), Dialogs::DiskChangeAnswer::Keep);
    pressReturnInTheNextBox();  // Yes saves: that keeps the work
    QCOMPARE(dialogs.askYesNoCancel(nullptr, QStringLiteral("The project is not saved. Would you like to save now?")),
             Dialogs::Answer::Yes);
}

// A double click in the build panel moved the caret; line and column stayed.
void EditorSafetyTest::everyCaretMoveUpdatesTheStatusBar() {
    WindowFixture f;
    showActive(f.window.get());
    f.setText(QStringLiteral("&P=BASIC\n\\here PRINT 1\nGOTO \\here\nPRINT \\nowhere"));
    f.editor()->moveCursor(QTextCursor::Start);
    f.action("COMPILE1")->trigger();  // a warning about "\nowhere" on line 4
    QTreeWidget* list = f.window->buildPanel()->list();
    QTreeWidgetItem* warning = list->topLevelItem(list->topLevelItemCount() - 1)->child(0);
    QVERIFY(warning);
    f.editor()->moveCursor(QTextCursor::Start);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 1   SelLen: 0"));
    emit list->itemActivated(warning, 0);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 4   Pos: 15   SelLen: 8"));  // Pos: the selection's end
    f.window->codeEditor()->selectPlace(1, 0, 0, true);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 2   Pos: 1   SelLen: 0"));
    f.editor()->moveCursor(QTextCursor::End);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 4   Pos: 15   SelLen: 0"));
}

// A failed build said so in a dialog only; the build panel showed errors and
// warnings alike and the gutter showed neither.
void EditorSafetyTest::failedBuildShowsUntilTheNextEdit() {
    WindowFixture f;
    showActive(f.window.get());
    f.window->findChild<QAction*>(QStringLiteral("BuildDialogs1"))->setChecked(false);
    auto* editor = f.window->codeEditor();
    QTreeWidget* list = f.window->buildPanel()->list();
    f.setText(QStringLiteral("&P=BASIC\nPRINT \\nowhere"));
    f.action("COMPILE1")->trigger();  // built, with a warning
    QCOMPARE(f.window->buildStateText(), QString());
    QCOMPARE(editor->diagnosticMark(1), CodeEditor::Mark::Warning);
    QCOMPARE(editor->diagnosticMark(0), CodeEditor::Mark::None);
    QTreeWidgetItem* warning = list->topLevelItem(list->topLevelItemCount() - 1)->child(0);
    QVERIFY(warning && !warning->icon(0).isNull());

    f.setText(QStringLiteral("&P=BASIC\nPRINT 1\n&C=x"));
    f.action("COMPILE1")->trigger();
    QCOMPARE(f.window->buildStateText(), QStringLiteral("Build failed"));
    QCOMPARE(editor->diagnosticMark(2), CodeEditor::Mark::Error);
    QCOMPARE(editor->diagnosticMark(1), CodeEditor::Mark::None);  // the marks are the last build's
    QTreeWidgetItem* error = list->topLevelItem(list->topLevelItemCount() - 1);
    QVERIFY(!error->icon(0).isNull());
    QVERIFY(error->icon(0).cacheKey() != warning->icon(0).cacheKey());
    QVERIFY(error->foreground(0).color() != warning->foreground(0).color());
    f.editor()->moveCursor(QTextCursor::Start);  // moving the caret is no edit
    QCOMPARE(f.window->buildStateText(), QStringLiteral("Build failed"));
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Delete);
    QCOMPARE(f.window->buildStateText(), QString());
}

QTEST_MAIN(EditorSafetyTest)
#include "editor_safety_test.moc"
