// The labels as places: the outline, Go to definition (F2, Ctrl+click),
// Find references (Shift+F2) and Rename label (Ctrl+Shift+R).
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "editor/build_panel.h"
#include "editor/code_editor.h"
#include "editor/label_tools.h"
#include "editor/line_numbering.h"
#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;

namespace {

const QString kProgram = QStringLiteral(
    "&P=BASIC\n&C=10\n&I=10\n"
    "\\start PRINT \"\\start\"\n"     // 3
    "\\loop\tGOSUB \\sub:REM \\loop\n"  // 4
    "\tDATA \\loop,1:GOTO \\LOOP\n"     // 5
    "\\sub RETURN\n"                    // 6
    "\tGOTO \\start");                  // 7

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void placeCaret(QPlainTextEdit* editor, int line, int column) {
    QTextCursor cursor(editor->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    editor->setTextCursor(cursor);
}

QStringList outlineRows(const OutlinePanel* outline) {
    QStringList rows;
    const QTreeWidget* list = outline->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows << item->text(0) + QLatin1Char(' ') + item->text(1) + QLatin1Char(' ') + item->text(2);
    }
    return rows;
}

struct Opened {
    WindowFixture f;
    Opened() {
        showActive(f.window.get());
        f.setText(kProgram);
        f.window->lineNumbering()->refreshNow();
    }
    void showOutline() { f.action("Outline1")->trigger(); }
};

}  // namespace

class LabelNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void outlineListsTheLabelsAndFollowsEdits();
    void outlineClickGoesToTheLabel();
    void goToDefinition_data();
    void goToDefinition();
    void ctrlClickGoesToTheDefinition();
    void findReferencesListsThemInTheBuildPanel();
    void rename_data();
    void rename();
};

void LabelNavigationTest::outlineListsTheLabelsAndFollowsEdits() {
    Opened o;
    o.showOutline();
    OutlinePanel* outline = o.f.window->outlinePanel();
    QVERIFY(outline->isVisible());
    QVERIFY(o.f.action("Outline1")->isChecked());
    QTRY_COMPARE(outlineRows(outline), QStringList({"\\start 10 1", "\\loop 20 1", "\\sub 40 1"}));
    // A new reference and a new label show without anything else done.
    QTextCursor end(o.f.editor()->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\n\\finish GOTO \\loop"));
    QTRY_COMPARE(outlineRows(outline), QStringList({"\\start 10 1", "\\loop 20 2", "\\sub 40 1", "\\finish 60 0"}));
}

void LabelNavigationTest::outlineClickGoesToTheLabel() {
    Opened o;
    o.showOutline();
    QTreeWidget* list = o.f.window->outlinePanel()->list();
    QTRY_COMPARE(list->topLevelItemCount(), 3);
    emit list->itemClicked(list->topLevelItem(2), 0);
    QCOMPARE(o.f.editor()->textCursor().blockNumber(), 6);
    QCOMPARE(o.f.editor()->textCursor().selectedText(), QStringLiteral("\\sub"));
    QCOMPARE(o.f.window->statusText(1), QStringLiteral("Line: 7   Pos: 5   SelLen: 4"));
}

void LabelNavigationTest::goToDefinition_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("definitionLine");  // -1: the caret stays
    QTest::newRow("reference") << 7 << 8 << 3;
    QTest::newRow("caret right after the name") << 4 << 15 << 6;
    QTest::newRow("letter case ignored") << 5 << 22 << 4;
    QTest::newRow("inside a string: no label") << 3 << 15 << -1;
    QTest::newRow("inside a remark: no label") << 4 << 22 << -1;
    QTest::newRow("DATA item: no label") << 5 << 8 << -1;
    QTest::newRow("plain text") << 7 << 2 << -1;
}

void LabelNavigationTest::goToDefinition() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, definitionLine);
    Opened o;
    placeCaret(o.f.editor(), line, column);
    o.f.editor()->setFocus();
    QTest::keyClick(o.f.editor(), Qt::Key_F2);
    const QTextCursor caret = o.f.editor()->textCursor();
    if (definitionLine < 0) {
        QCOMPARE(caret.blockNumber(), line);
        QCOMPARE(caret.positionInBlock(), column);
        QVERIFY(!o.f.window->statusBar()->currentMessage().isEmpty());
        return;
    }
    QCOMPARE(caret.blockNumber(), definitionLine);
    QCOMPARE(caret.selectionStart(), caret.block().position());
}

void LabelNavigationTest::ctrlClickGoesToTheDefinition() {
    Opened o;
    CodeEditor* editor = o.f.window->codeEditor();
    placeCaret(editor, 7, 8);
    const QPoint place = editor->cursorRect().center();
    editor->moveCursor(QTextCursor::Start);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::ControlModifier, place);
    QCOMPARE(editor->textCursor().blockNumber(), 3);
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("\\start"));
}

void LabelNavigationTest::findReferencesListsThemInTheBuildPanel() {
    Opened o;
    placeCaret(o.f.editor(), 4, 2);  // on the definition of \loop
    o.f.editor()->setFocus();
    QTest::keyClick(o.f.editor(), Qt::Key_F2, Qt::ShiftModifier);
    QVERIFY(o.f.window->buildPanel()->isVisible());
    QTreeWidget* list = o.f.window->buildPanel()->list();
    QTreeWidgetItem* entry = list->topLevelItem(list->topLevelItemCount() - 1);
    QCOMPARE(entry->text(0), QStringLiteral("References to \\loop: 1"));
    QCOMPARE(entry->childCount(), 1);
    QCOMPARE(entry->child(0)->text(0), QStringLiteral("6:20: DATA \\loop,1:GOTO \\LOOP"));
    emit list->itemClicked(entry->child(0), 0);  // one click goes
    QCOMPARE(o.f.editor()->textCursor().blockNumber(), 5);
    QCOMPARE(o.f.editor()->textCursor().selectedText(), QStringLiteral("\\LOOP"));
}

void LabelNavigationTest::rename_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");  // empty: refused, the text unchanged
    QTest::addColumn<QString>("error");
    QString renamed = kProgram;
    renamed.replace(QStringLiteral("\\loop\tGOSUB"), QStringLiteral("\\again\tGOSUB"))
        .replace(QStringLiteral("GOTO \\LOOP"), QStringLiteral("GOTO \\again"));
    QTest::newRow("without backslash, from a reference") << 5 << 22 << "again" << renamed << "";
    QTest::newRow("with backslash, from the definition") << 4 << 1 << "\\again" << renamed << "";
    QTest::newRow("already defined") << 4 << 1 << "\\SUB" << "" << "The label \"\\sub\" is already defined (line 7).";
    QTest::newRow("another label's name would swallow it")
        << 4 << 1 << "\\su" << "" << "\"\\su\" and the label \"\\sub\" (line 7) begin alike: a reference to the one "
                                        "could be read as the other.";
    QTest::newRow("empty") << 4 << 1 << "\\" << "" << "A label needs a name after its \"\\\".";
}

// Every definition and reference, never the text in strings, remarks or
// DATA; one undo step; refused names leave the text alone.
void LabelNavigationTest::rename() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(QString, error);
    Opened o;
    placeCaret(o.f.editor(), line, column);
    o.f.dialogs.textAnswers = {typed};
    o.f.editor()->setFocus();
    QTest::keyClick(o.f.editor(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(o.f.dialogs.textQuestions, QStringList({"New name for \\loop:"}));
    if (expected.isEmpty()) {
        QCOMPARE(o.f.dialogs.errors, QStringList({error}));
        QCOMPARE(o.f.editor()->toPlainText(), kProgram);
        return;
    }
    QCOMPARE(o.f.dialogs.errors, QStringList());
    QCOMPARE(o.f.editor()->toPlainText(), expected);
    o.f.editor()->undo();
    QCOMPARE(o.f.editor()->toPlainText(), kProgram);
}

QTEST_MAIN(LabelNavigationTest)
#include "label_navigation_test.moc"
