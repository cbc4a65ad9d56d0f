// Find, Replace and Search Next on a bare editor: the shared search position,
// the replace steps and Replace All's ending.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "editor/find_replace.h"
#include "editor/main_window.h"
#include "scripted_dialogs.h"

using lintrel::FindReplace;

namespace {

// A window with an editor, the feature under test and a count of text changes.
struct Bench {
    QWidget window;
    QPlainTextEdit* editor = new QPlainTextEdit;
    std::unique_ptr<FindReplace> search;
    int changes = 0;

    explicit Bench(const QString& text) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(editor);
        editor->setPlainText(text);
        search = std::make_unique<FindReplace>(editor, &window);
        QObject::connect(editor, &QPlainTextEdit::textChanged, [this] { ++changes; });
        window.show();
    }
    ~Bench() { search.reset(); }

    QDialog* find() const { return search->findDialog(); }
    QDialog* replace() const { return search->replaceDialog(); }
    static QLineEdit* field(QDialog* dialog, const char* name) { return dialog->findChild<QLineEdit*>(name); }
    static QCheckBox* box(QDialog* dialog, const char* name) { return dialog->findChild<QCheckBox*>(name); }
    static void click(QDialog* dialog, const char* name) {
        QPushButton* button = dialog->findChild<QPushButton*>(name);
        QVERIFY(button);
        button->click();
    }

    // Ctrl+F, type the text, Find Next.
    void findNext(const QString& text) {
        search->SearchFindExecute();
        field(find(), "findText")->setText(text);
        click(find(), "findNext");
    }
    // Ctrl+R and fill both fields.
    void openReplace(const QString& findText, const QString& replaceText) {
        search->Replace1Click();
        field(replace(), "findText")->setText(findText);
        field(replace(), "replaceText")->setText(replaceText);
    }
    QString text() const { return editor->toPlainText(); }
    QString selected() const { return editor->textCursor().selectedText(); }
    int selectionStart() const { return editor->textCursor().selectionStart(); }
    void selectRange(int start, int end) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }
};

}  // namespace

class FindReplaceTest : public QObject {
    Q_OBJECT
private slots:
    void dialogsAreModelessAndComplete();
    void textFoundOnceIsSelectedThenNothingThenAgain();
    void findFromMenuStartsAtTheTop();
    void wholeWordAndMatchCase();
    void searchNextUsesTheFindDialogsOptions();
    void searchNextWithoutFindTextShowsTheFindDialog();
    void closingADialogClearsSelectionAndPosition();
    void replaceActsOnTheSelectionThenSelectsTheNext();
    void replaceAllReplacesEveryMatch();
    void replaceAllFromTheMiddleAlsoReplacesEarlierMatches();
    void replaceAllNeverReplacesItsOwnText();
    void replaceAllIsOneUndoStep();
    void emptyEditorDoesNothing();
    void replaceAllOnALargeText();
    void searchMenuOfTheWindow();
};

void FindReplaceTest::dialogsAreModelessAndComplete() {
    Bench bench("A");
    for (QDialog* dialog : {bench.find(), bench.replace()}) {
        QVERIFY(dialog);
        QVERIFY(!dialog->isModal());
        QVERIFY(!dialog->isVisible());
        QVERIFY(Bench::field(dialog, "findText"));
        QCOMPARE(Bench::box(dialog, "wholeWord")->text(), QString("Whole word"));
        QCOMPARE(Bench::box(dialog, "matchCase")->text(), QString("Match case"));
        QCOMPARE(dialog->findChild<QPushButton*>("findNext")->text(), QString("Find Next"));
    }
    QVERIFY(Bench::field(bench.replace(), "replaceText"));
    QCOMPARE(bench.replace()->findChild<QPushButton*>("replace")->text(), QString("Replace"));
    QCOMPARE(bench.replace()->findChild<QPushButton*>("replaceAll")->text(), QString("Replace All"));

    bench.search->SearchFindExecute();
    bench.search->Replace1Click();
    QVERIFY(bench.find()->isVisible());
    QVERIFY(bench.replace()->isVisible());
    // The user goes on editing while both stay open.
    bench.editor->insertPlainText("B");
    QVERIFY(bench.find()->isVisible() && bench.replace()->isVisible());
}

void FindReplaceTest::textFoundOnceIsSelectedThenNothingThenAgain() {
    Bench bench("10 PRINT\nGOTO 10");
    bench.findNext("GOTO");
    QCOMPARE(bench.selected(), QString("GOTO"));
    QCOMPARE(bench.selectionStart(), 9);
    QCOMPARE(bench.search->searchPosition(), 13);
    QCOMPARE(bench.window.focusWidget(), bench.editor);

    Bench::click(bench.find(), "findNext");  // nothing: silent, selection kept
    QCOMPARE(bench.selected(), QString("GOTO"));
    QCOMPARE(bench.search->searchPosition(), 0);

    bench.selectRange(0, 2);  // the failed search left the selection alone; the next starts at the top
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selected(), QString("GOTO"));
    QCOMPARE(bench.selectionStart(), 9);
    QCOMPARE(bench.changes, 0);
}

void FindReplaceTest::findFromMenuStartsAtTheTop() {
    Bench bench("X1 X2 X3");
    bench.findNext("X");
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 3);
    bench.search->SearchFindExecute();  // reopened from the menu while open
    QCOMPARE(Bench::field(bench.find(), "findText")->text(), QString("X"));
    QCOMPARE(bench.search->searchPosition(), 0);
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 0);
}

void FindReplaceTest::wholeWordAndMatchCase() {
    Bench bench("print PRINTER PRINT");
    bench.findNext("PRINT");
    QCOMPARE(bench.selectionStart(), 0);  // letter case ignored, part of a word allowed
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 6);

    Bench::box(bench.find(), "matchCase")->setChecked(true);
    bench.search->SearchFindExecute();
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 6);

    Bench::box(bench.find(), "wholeWord")->setChecked(true);
    bench.search->SearchFindExecute();
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 14);
    QCOMPARE(bench.selected(), QString("PRINT"));

    Bench::box(bench.find(), "matchCase")->setChecked(false);
    bench.search->SearchFindExecute();
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 0);
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 14);

    // The replace dialog takes its own boxes.
    Bench replacing("a A aa A");
    replacing.openReplace("A", "B");
    Bench::box(replacing.replace(), "wholeWord")->setChecked(true);
    Bench::box(replacing.replace(), "matchCase")->setChecked(true);
    Bench::click(replacing.replace(), "replaceAll");
    QCOMPARE(replacing.text(), QString("a B aa B"));
}

void FindReplaceTest::searchNextUsesTheFindDialogsOptions() {
    Bench bench("abc ABC abc");
    bench.openReplace("ABC", "");
    Bench::box(bench.replace(), "matchCase")->setChecked(true);
    Bench::click(bench.replace(), "findNext");
    QCOMPARE(bench.selectionStart(), 4);

    // F3 takes the text from the replace dialog but the find dialog's (unticked) boxes.
    bench.search->SearchFindNextExecute();
    QCOMPARE(bench.selectionStart(), 8);
    QCOMPARE(bench.selected(), QString("abc"));
    QVERIFY(!bench.find()->isVisible());

    Bench::box(bench.find(), "matchCase")->setChecked(true);
    bench.search->SearchFindNextExecute();  // fails: position back to 0
    QCOMPARE(bench.selectionStart(), 8);
    bench.search->SearchFindNextExecute();
    QCOMPARE(bench.selectionStart(), 4);
}

void FindReplaceTest::searchNextWithoutFindTextShowsTheFindDialog() {
    Bench bench("ABC");
    bench.search->SearchFindNextExecute();
    QVERIFY(bench.find()->isVisible());
    QVERIFY(!bench.editor->textCursor().hasSelection());
}

void FindReplaceTest::closingADialogClearsSelectionAndPosition() {
    Bench bench("AB AB AB");
    bench.findNext("AB");
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 3);
    bench.find()->close();
    QVERIFY(!bench.find()->isVisible());
    QVERIFY(!bench.editor->textCursor().hasSelection());
    QCOMPARE(bench.editor->textCursor().position(), 3);
    QCOMPARE(bench.search->searchPosition(), 0);
    bench.search->SearchFindNextExecute();
    QCOMPARE(bench.selectionStart(), 0);

    bench.openReplace("AB", "X");
    for (int i = 0; i < 3; ++i) Bench::click(bench.replace(), "findNext");
    QCOMPARE(bench.selectionStart(), 6);
    Bench::click(bench.replace(), "close");
    QVERIFY(!bench.replace()->isVisible());
    QVERIFY(!bench.editor->textCursor().hasSelection());
    QCOMPARE(bench.editor->textCursor().position(), 6);
    QCOMPARE(bench.search->searchPosition(), 0);
    QCOMPARE(bench.changes, 0);
}

void FindReplaceTest::replaceActsOnTheSelectionThenSelectsTheNext() {
    Bench bench("A1 A2 A3");
    bench.openReplace("A", "BB");
    Bench::click(bench.replace(), "replace");  // nothing selected: finds, replaces, selects the next
    QCOMPARE(bench.text(), QString("BB1 A2 A3"));
    QCOMPARE(bench.selectionStart(), 4);
    QCOMPARE(bench.selected(), QString("A"));
    QCOMPARE(bench.changes, 1);

    bench.selectRange(0, 3);  // whatever is selected is replaced
    Bench::click(bench.replace(), "replace");
    QCOMPARE(bench.text(), QString("BB A2 A3"));
    QCOMPARE(bench.selectionStart(), 6);
    QCOMPARE(bench.changes, 2);

    // The position is not corrected for the shorter text, so the next search
    // passes over the match right behind the replacement.
    Bench skipping("ABABAB");
    skipping.openReplace("AB", "X");
    Bench::click(skipping.replace(), "replace");
    QCOMPARE(skipping.text(), QString("XABAB"));
    QCOMPARE(skipping.selectionStart(), 3);
    Bench::click(skipping.replace(), "replace");  // nothing left behind it: no selection
    QCOMPARE(skipping.text(), QString("XABX"));
    QVERIFY(!skipping.editor->textCursor().hasSelection());
    QCOMPARE(skipping.search->searchPosition(), 0);
    Bench::click(skipping.replace(), "replace");
    QCOMPARE(skipping.text(), QString("XXX"));
    QCOMPARE(skipping.changes, 3);
}

void FindReplaceTest::replaceAllReplacesEveryMatch() {
    Bench bench("ABAB");
    bench.openReplace("AB", "X");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("XX"));
    QVERIFY(bench.changes > 0);
    QCOMPARE(bench.search->searchPosition(), 0);
    QVERIFY(!bench.editor->textCursor().hasSelection());

    // A shorter replacement joins text into new matches, which later runs take too.
    Bench joining("AABB\nab");
    joining.openReplace("AB", "");
    Bench::click(joining.replace(), "replaceAll");
    QCOMPARE(joining.text(), QString("\n"));

    // The position lies behind the last match and nothing is selected: the
    // run from the start still replaces them all.
    Bench behind("AB AB");
    behind.openReplace("AB", "C");
    Bench::click(behind.replace(), "findNext");
    Bench::click(behind.replace(), "findNext");
    behind.selectRange(5, 5);
    QCOMPARE(behind.search->searchPosition(), 5);
    Bench::click(behind.replace(), "replaceAll");
    QCOMPARE(behind.text(), QString("C C"));
}

void FindReplaceTest::replaceAllFromTheMiddleAlsoReplacesEarlierMatches() {
    Bench bench("GOTO 1\nGOTO 2\nGOTO 3\nGOTO 4");
    bench.openReplace("GOTO", "GO TO");
    Bench::click(bench.replace(), "findNext");
    Bench::click(bench.replace(), "findNext");
    QCOMPARE(bench.selectionStart(), 7);
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("GO TO 1\nGO TO 2\nGO TO 3\nGO TO 4"));
    QCOMPARE(bench.changes, 1);  // one edit block, one change notice
}

void FindReplaceTest::replaceAllNeverReplacesItsOwnText() {
    Bench bench("ABA\nA");
    bench.openReplace("A", "AA");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("AABAA\nAA"));

    // A match overlapping inserted text is left alone too.
    Bench overlapping("AABB");
    overlapping.openReplace("AB", "A");
    Bench::click(overlapping.replace(), "replaceAll");
    QCOMPARE(overlapping.text(), QString("AAB"));

    // Started with a match selected in the middle, the replacement contains the find text.
    Bench middle("x A y A z A");
    middle.openReplace("A", "(A)");
    Bench::click(middle.replace(), "findNext");
    Bench::click(middle.replace(), "findNext");
    QCOMPARE(middle.selectionStart(), 6);
    Bench::click(middle.replace(), "replaceAll");
    QCOMPARE(middle.text(), QString("x (A) y (A) z (A)"));

    // The selection is replaced whatever it holds, and not taken again.
    Bench selected("A-A");
    selected.openReplace("A", "A");
    selected.selectRange(1, 2);
    Bench::click(selected.replace(), "replaceAll");
    QCOMPARE(selected.text(), QString("AAA"));
}

void FindReplaceTest::replaceAllIsOneUndoStep() {
    const QString original = "A1 A2\nA3 A4\nA5";
    Bench bench(original);
    bench.openReplace("A", "BC");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("BC1 BC2\nBC3 BC4\nBC5"));
    bench.editor->undo();
    QCOMPARE(bench.text(), original);
    bench.editor->redo();
    QCOMPARE(bench.text(), QString("BC1 BC2\nBC3 BC4\nBC5"));
}

void FindReplaceTest::emptyEditorDoesNothing() {
    Bench bench("AB");
    bench.findNext("B");
    QCOMPARE(bench.search->searchPosition(), 2);
    bench.editor->clear();
    bench.changes = 0;
    Bench::click(bench.find(), "findNext");
    bench.search->SearchFindNextExecute();
    QCOMPARE(bench.search->searchPosition(), 2);  // not even the position changes
    bench.openReplace("A", "B");
    Bench::click(bench.replace(), "findNext");
    Bench::click(bench.replace(), "replace");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString());
    QCOMPARE(bench.changes, 0);
}

void FindReplaceTest::replaceAllOnALargeText() {
    QStringList lines;
    for (int i = 0; i < 50000; ++i) lines << QString("PRINT \"A\";%1:GOTO \\loop").arg(i);
    Bench bench(lines.join('\n'));
    bench.openReplace("PRINT", "? PRINT");
    Bench::click(bench.replace(), "replaceAll");
    const QString text = bench.text();
    QCOMPARE(text.count("? PRINT"), 50000);
    QCOMPARE(text.count("PRINT"), 50000);
    bench.editor->undo();
    QCOMPARE(bench.text().count("?"), 0);
}

// The window's Search menu reaches the dialogs by its shortcuts, and a
// replacement leaves the project unsaved.
void FindReplaceTest::searchMenuOfTheWindow() {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("Exports");
    QDir(folder.path()).mkpath("Projects");
    lintrel::testing::ScriptedDialogs dialogs;
    lintrel::MainWindow window(dialogs, folder.path());
    window.NewProject();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPlainTextEdit* editor = window.editor();
    editor->setPlainText("10 PRINT A\nGOTO 10");
    window.setSaved(true);
    editor->setFocus();

    QDialog* find = window.findChild<QDialog*>("findDialog");
    QDialog* replace = window.findChild<QDialog*>("replaceDialog");
    QVERIFY(find && replace);
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(find->isVisible());
    Bench::field(find, "findText")->setText("goto");
    Bench::click(find, "findNext");
    QCOMPARE(editor->textCursor().selectedText(), QString("GOTO"));
    QVERIFY(window.isSaved());  // finding is no change
    find->close();
    QTest::keyClick(editor, Qt::Key_F3);
    QCOMPARE(editor->textCursor().selectionStart(), 11);

    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(replace->isVisible());
    QCOMPARE(Bench::field(replace, "findText")->text(), QString("goto"));
    Bench::field(replace, "replaceText")->setText("GO TO");
    Bench::click(replace, "replaceAll");
    QCOMPARE(editor->toPlainText(), QString("10 PRINT A\nGO TO 10"));
    QVERIFY(!window.isSaved());
    QStringList panels;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>()) panels << label->text();
    QVERIFY2(panels.contains("Unsaved"), qPrintable(panels.join('|')));
}

QTEST_MAIN(FindReplaceTest)
#include "find_replace_test.moc"
