// Caret tracking in status panels 0 and 1, Insert {..} and the Edit menu.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "window_fixture.h"

using lintrel::testing::WindowFixture;

namespace {

void select(QPlainTextEdit* editor, int anchor, int position) {
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

}  // namespace

class CaretTest : public QObject {
    Q_OBJECT
private slots:
    void panelTextsAtTheStart();
    void selectionFromRightToLeftCountsItsEnd();
    void panelFollowsEveryKeyStep();
    void mouseReleaseRecords();
    void noLimitOnTheCaretIndex();
    void editingRefreshesThePanels();
    void insertBraces_data();
    void insertBraces();
    void insertMarksUnsaved();
    void cutCopyPasteSelectAll();
};

void CaretTest::panelTextsAtTheStart() {
    WindowFixture f;
    select(f.editor(), 0, 0);
    f.window->MemoSourceGetPos();
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 22   Lines: 4"));
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 1   SelLen: 0"));
}

void CaretTest::selectionFromRightToLeftCountsItsEnd() {
    WindowFixture f;
    select(f.editor(), 11, 3);  // from "&C" back into the first line
    f.window->MemoSourceGetPos();
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 2   Pos: 3   SelLen: 8"));
}

// The panel lagged one step behind a held key; it follows every step now.
void CaretTest::panelFollowsEveryKeyStep() {
    WindowFixture f;
    select(f.editor(), 0, 0);
    QTest::keyPress(f.editor(), Qt::Key_Right);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 2   SelLen: 0"));
    QTest::keyPress(f.editor(), Qt::Key_Right);  // held: the place after the latest step
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 3   SelLen: 0"));
    QTest::keyRelease(f.editor(), Qt::Key_Right);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 3   SelLen: 0"));
}

void CaretTest::mouseReleaseRecords() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    select(f.editor(), 12, 12);
    QTest::mouseRelease(f.editor()->viewport(), Qt::LeftButton, {}, QPoint(400, 400));
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 22   Lines: 4"));
    QVERIFY(!f.window->statusText(1).isEmpty());
}

void CaretTest::noLimitOnTheCaretIndex() {
    WindowFixture f;
    f.setText(QString(70000, QLatin1Char('A')) + QStringLiteral("\nBC"));
    select(f.editor(), 70002, 70002);
    f.window->MemoSourceGetPos();
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 70003   Lines: 2"));
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 2   Pos: 2   SelLen: 0"));
    f.window->Insert1Click();
    QCOMPARE(f.line(1), QStringLiteral("B{}C"));
}

void CaretTest::editingRefreshesThePanels() {
    WindowFixture f;
    QTextCursor cursor(f.editor()->document());
    cursor.insertText(QStringLiteral("12"));
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 24   Lines: 4"));
    // While the editor is hidden (New, the build) changes leave the panels.
    f.editor()->hide();
    cursor.insertText(QStringLiteral("3"));
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 24   Lines: 4"));
}

void CaretTest::insertBraces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("selectionAfter");
    QTest::newRow("middle of a word") << "PRINT" << 2 << 2 << "PR{}INT" << 4 << "";
    QTest::newRow("empty line") << "" << 0 << 0 << "{}" << 2 << "";
    QTest::newRow("end of line") << "END" << 3 << 3 << "END{}" << 5 << "";
    QTest::newRow("selection keeps its text") << "PRINT" << 1 << 3 << "PRI{}NT" << 5 << "";
    QTest::newRow("selection made backwards") << "PRINT" << 3 << 1 << "PRI{}NT" << 5 << "";
}

void CaretTest::insertBraces() {
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    QFETCH(QString, selectionAfter);
    WindowFixture f;
    f.setText(QStringLiteral("FIRST\n") + text + QStringLiteral("\nLAST"));
    select(f.editor(), 6 + anchor, 6 + position);
    f.action("Insert1")->trigger();
    QCOMPARE(f.line(1), expected);
    QCOMPARE(f.line(0), QStringLiteral("FIRST"));
    QCOMPARE(f.line(2), QStringLiteral("LAST"));
    QCOMPARE(f.editor()->textCursor().position(), 6 + caret);
    QCOMPARE(f.editor()->textCursor().selectedText(), selectionAfter);
}

void CaretTest::insertMarksUnsaved() {
    WindowFixture f;
    QVERIFY(f.window->isSaved());
    f.window->Insert1Click();
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QCOMPARE(f.line(0), QStringLiteral("{}&P=BASIC"));
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 3   SelLen: 0"));
}

void CaretTest::cutCopyPasteSelectAll() {
    WindowFixture f;
    f.setText(QStringLiteral("ONE\nTWO"));
    f.window->setSaved(true);
    select(f.editor(), 0, 3);
    f.action("Copy1")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ONE"));
    QVERIFY(f.window->isSaved());
    select(f.editor(), 4, 7);
    f.action("Cut1")->trigger();
    QCOMPARE(f.line(1), QString());
    QVERIFY(!f.window->isSaved());
    f.action("Paste1")->trigger();
    f.action("Paste1")->trigger();
    QCOMPARE(f.line(1), QStringLiteral("TWOTWO"));
    f.action("SelectAll1")->trigger();
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("ONE%1TWOTWO").arg(QChar(QChar::ParagraphSeparator)));
}

QTEST_MAIN(CaretTest)
#include "caret_test.moc"
