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
    void replaceActsOnAMatchThenSelectsTheNext();
    void replaceTakesOnlyAMatchOfTheFindText();
    void replaceAllWithAnEmptyReplacementDoesNotCascade();
    void findNextKeepsTheFocusInTheDialog();
    void buttonsHaveAccelerators();
    void dialogsSayNotFoundAndHowManyWereReplaced();
    void replaceAllReplacesEveryMatch();
    void replaceAllFromTheMiddleAlsoReplacesEarlierMatches();
    void replaceAllNeverReplacesItsOwnText();
    void replaceAllIsOneUndoStep();
    void emptyEditorDoesNothing();
    void replaceAllOnALargeText();
    void searchMenuOfTheWindow();
    void caretPanelFollowsASearchAndAReplacement();
    void findPreviousGoesBack();
    void replaceAllInSelection();
    void searchFieldStartsWithTheSelectedText();
    void dialogNeverCoversTheMatch();
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
        QCOMPARE(dialog->findChild<QPushButton*>("findNext")->text(), QString("Find &Next"));
        QCOMPARE(dialog->findChild<QPushButton*>("close")->text(), QString("Close"));
    }
    QVERIFY(Bench::field(bench.replace(), "replaceText"));
    QCOMPARE(bench.replace()->findChild<QPushButton*>("replace")->text(), QString("&Replace"));
    QCOMPARE(bench.replace()->findChild<QPushButton*>("replaceAll")->text(), QString("Replace &All"));

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

void FindReplaceTest::replaceActsOnAMatchThenSelectsTheNext() {
    Bench bench("A1 A2 A3");
    bench.openReplace("A", "BB");
    Bench::click(bench.replace(), "replace");  // nothing selected: finds, replaces, selects the next
    QCOMPARE(bench.text(), QString("BB1 A2 A3"));
    QCOMPARE(bench.selectionStart(), 4);
    QCOMPARE(bench.selected(), QString("A"));
    QCOMPARE(bench.changes, 1);
    Bench::click(bench.replace(), "replace");
    QCOMPARE(bench.text(), QString("BB1 BB2 A3"));
    QCOMPARE(bench.selectionStart(), 8);
    QCOMPARE(bench.changes, 2);

    // The next search starts right behind the inserted text, so a match
    // there is not passed over.
    Bench shorter("ABABAB");
    shorter.openReplace("AB", "X");
    Bench::click(shorter.replace(), "replace");
    QCOMPARE(shorter.text(), QString("XABAB"));
    QCOMPARE(shorter.selectionStart(), 1);
    Bench::click(shorter.replace(), "replace");
    Bench::click(shorter.replace(), "replace");  // the last one: nothing more to select
    QCOMPARE(shorter.text(), QString("XXX"));
    QVERIFY(!shorter.editor->textCursor().hasSelection());
    QCOMPARE(shorter.search->searchPosition(), 0);
    QCOMPARE(shorter.changes, 3);
}

// With RESTORE selected, replacing NEXT by XX turned RESTORE into XX.
void FindReplaceTest::replaceTakesOnlyAMatchOfTheFindText() {
    const QString original = "RESTORE\nNEXT I\nNEXT J";
    Bench all(original);
    all.openReplace("NEXT", "XX");
    all.selectRange(0, 7);
    Bench::click(all.replace(), "replaceAll");
    QCOMPARE(all.text(), QString("RESTORE\nXX I\nXX J"));
    all.editor->undo();  // one step back to the text as it was
    QCOMPARE(all.text(), original);

    Bench one(original);
    one.openReplace("NEXT", "XX");
    one.selectRange(0, 7);
    Bench::click(one.replace(), "replace");  // searched first: the first NEXT goes, the second is selected
    QCOMPARE(one.text(), QString("RESTORE\nXX I\nNEXT J"));
    QCOMPARE(one.selected(), QString("NEXT"));

    // The selection is a match only under the dialog's options.
    Bench options("next NEXT");
    options.openReplace("NEXT", "N");
    Bench::box(options.replace(), "matchCase")->setChecked(true);
    options.selectRange(0, 4);
    Bench::click(options.replace(), "replace");
    QCOMPARE(options.text(), QString("next N"));
    Bench word("NEXTI NEXT");
    word.openReplace("NEXT", "N");
    Bench::box(word.replace(), "wholeWord")->setChecked(true);
    word.selectRange(0, 4);
    Bench::click(word.replace(), "replace");
    QCOMPARE(word.text(), QString("NEXTI N"));
}

// Text joined by a deletion was searched again: X=AABB became X=.
void FindReplaceTest::replaceAllWithAnEmptyReplacementDoesNotCascade() {
    Bench bench("X=AABB");
    bench.openReplace("AB", "");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("X=AB"));
    QCOMPARE(bench.changes, 1);
    bench.editor->undo();
    QCOMPARE(bench.text(), QString("X=AABB"));
}

// After Find Next the editor took the focus, so the next Return replaced the
// selected match by a line break.
void FindReplaceTest::findNextKeepsTheFocusInTheDialog() {
    QStringList lines;
    for (int i = 0; i < 400; ++i) lines << QString("PRINT %1").arg(i);
    lines << "GOTO 10" << "GOTO 20";
    // Some styles draw an unfocused selection faintly; here it would vanish.
    struct FaintSelection {
        const QPalette before = QApplication::palette();
        FaintSelection() {
            QPalette faint = before;
            faint.setColor(QPalette::Inactive, QPalette::Highlight, faint.color(QPalette::Active, QPalette::Base));
            QApplication::setPalette(faint);
        }
        ~FaintSelection() { QApplication::setPalette(before); }
    } faintSelection;
    Bench bench(lines.join('\n'));
    bench.window.resize(400, 300);
    bench.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&bench.window));
    bench.search->SearchFindExecute();
    QTRY_COMPARE(QApplication::activeWindow(), bench.find());
    QLineEdit* field = Bench::field(bench.find(), "findText");
    QTest::keyClicks(field, "GOTO");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(bench.selected(), QString("GOTO"));
    QCOMPARE(QApplication::focusWidget(), field);
    // Scrolled into view.
    QVERIFY(bench.editor->viewport()->rect().contains(bench.editor->cursorRect()));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(bench.selectionStart(), bench.text().lastIndexOf("GOTO"));
    QCOMPARE(bench.changes, 0);
    // A click leaves the focus on the button; Return still finds, never replaces.
    bench.search->Replace1Click();
    QTRY_COMPARE(QApplication::activeWindow(), bench.replace());
    Bench::field(bench.replace(), "replaceText")->setText("X");
    QPushButton* replaceButton = bench.replace()->findChild<QPushButton*>("replace");
    replaceButton->setFocus();
    QTest::keyClick(replaceButton, Qt::Key_Return);
    QCOMPARE(bench.changes, 0);
    QCOMPARE(bench.selected(), QString("GOTO"));

    // The match is drawn selected while the editor has no focus.
    QVERIFY(!bench.editor->hasFocus());
    const QImage shown = bench.editor->viewport()->grab().toImage();
    const QColor highlight = bench.editor->palette().color(QPalette::Active, QPalette::Highlight);
    const QRect line = bench.editor->cursorRect().adjusted(-60, 0, 0, 0) & shown.rect();
    int highlighted = 0;
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = line.left(); x <= line.right(); ++x) highlighted += shown.pixelColor(x, y) == highlight;
    QVERIFY2(highlighted > 20, qPrintable(QString::number(highlighted)));
}

void FindReplaceTest::buttonsHaveAccelerators() {
    Bench bench("A A A");
    bench.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&bench.window));
    bench.openReplace("A", "B");
    QTRY_COMPARE(QApplication::activeWindow(), bench.replace());
    // A button's accelerator clicks it after a short animation.
    QTest::keyClick(bench.replace(), Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(bench.selected(), QString("A"));
    QTest::keyClick(bench.replace(), Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(bench.text(), QString("B A A"));
    QTest::keyClick(bench.replace(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(bench.text(), QString("B B B"));
    QTest::keyClick(bench.replace(), Qt::Key_Escape);
    QVERIFY(!bench.replace()->isVisible());
}

void FindReplaceTest::dialogsSayNotFoundAndHowManyWereReplaced() {
    Bench bench("AB AB AB");
    auto feedback = [](QDialog* dialog) {
        const QLabel* line = dialog->findChild<QLabel*>("feedback");
        return line ? line->text() : QString("(no feedback line)");
    };
    bench.findNext("Z");
    QCOMPARE(feedback(bench.find()), QString("Not found"));
    bench.findNext("AB");
    QCOMPARE(feedback(bench.find()), QString());
    bench.openReplace("AB", "C");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(feedback(bench.replace()), QString("3 replaced"));
    Bench::click(bench.replace(), "findNext");
    QCOMPARE(feedback(bench.replace()), QString("Not found"));
    bench.search->Replace1Click();  // a fresh start clears the line
    QCOMPARE(feedback(bench.replace()), QString());
}

void FindReplaceTest::replaceAllReplacesEveryMatch() {
    Bench bench("ABAB");
    bench.openReplace("AB", "X");
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("XX"));
    QVERIFY(bench.changes > 0);
    QCOMPARE(bench.search->searchPosition(), 0);
    QVERIFY(!bench.editor->textCursor().hasSelection());

    // A shorter replacement joins text into new matches, which stay.
    Bench joining("AABB\nab");
    joining.openReplace("AB", "");
    Bench::click(joining.replace(), "replaceAll");
    QCOMPARE(joining.text(), QString("AB\n"));

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

    // A selection that is no match stays as it is.
    Bench selected("A-A");
    selected.openReplace("A", "B");
    selected.selectRange(1, 2);
    Bench::click(selected.replace(), "replaceAll");
    QCOMPARE(selected.text(), QString("B-B"));
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

// Panel 1 stayed where the caret was before the search selected the match.
void FindReplaceTest::caretPanelFollowsASearchAndAReplacement() {
    QTemporaryDir folder;
    lintrel::testing::ScriptedDialogs dialogs;
    lintrel::MainWindow window(dialogs, folder.path());
    window.NewProject();
    window.editor()->setPlainText("10 PRINT A\nGOTO 10\nGOTO 20");
    QDialog* find = window.findChild<QDialog*>("findDialog");
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    Bench::field(find, "findText")->setText("goto");
    Bench::click(find, "findNext");
    QCOMPARE(window.statusText(1), QString("Line: 2   Pos: 5   SelLen: 4"));
    Bench::click(find, "findNext");
    QCOMPARE(window.statusText(1), QString("Line: 3   Pos: 5   SelLen: 4"));
    QDialog* replace = window.findChild<QDialog*>("replaceDialog");
    window.findChild<QAction*>("Replace1")->trigger();
    Bench::field(replace, "replaceText")->setText("GO");
    Bench::click(replace, "replaceAll");
    QCOMPARE(window.statusText(1), QString("Line: 3   Pos: 3   SelLen: 0"));
}

void FindReplaceTest::findPreviousGoesBack() {
    Bench bench("X1 X2 X3");
    bench.findNext("X");
    Bench::click(bench.find(), "findNext");
    Bench::click(bench.find(), "findNext");
    QCOMPARE(bench.selectionStart(), 6);
    Bench::click(bench.find(), "findPrevious");
    QCOMPARE(bench.selectionStart(), 3);
    bench.search->SearchFindPreviousExecute();  // Shift+F3
    QCOMPARE(bench.selectionStart(), 0);
    bench.search->SearchFindPreviousExecute();  // nothing before: said, selection kept
    QCOMPARE(bench.selectionStart(), 0);
    QCOMPARE(bench.find()->findChild<QLabel*>("feedback")->text(), QString("Not found"));
    bench.search->SearchFindNextExecute();  // F3 goes on forward from there
    QCOMPARE(bench.selectionStart(), 3);
    QCOMPARE(bench.changes, 0);
}

// Replace All had no way to keep to a part of the program.
void FindReplaceTest::replaceAllInSelection() {
    Bench bench("A\nA A\nA\nA");
    bench.selectRange(2, 7);  // lines 2 and 3
    bench.openReplace("A", "BB");
    QVERIFY(Bench::box(bench.replace(), "inSelection")->isChecked());  // a selection over lines
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("A\nBB BB\nBB\nA"));
    QCOMPARE(bench.selected(), QString("BB BB") + QChar::ParagraphSeparator + "BB");
    bench.editor->undo();  // one step
    QCOMPARE(bench.text(), QString("A\nA A\nA\nA"));
    Bench::box(bench.replace(), "inSelection")->setChecked(false);
    Bench::click(bench.replace(), "replaceAll");
    QCOMPARE(bench.text(), QString("BB\nBB BB\nBB\nBB"));
}

void FindReplaceTest::searchFieldStartsWithTheSelectedText() {
    Bench bench("PRINT GOTO\nGOTO");
    bench.selectRange(6, 10);
    bench.search->SearchFindExecute();
    QCOMPARE(Bench::field(bench.find(), "findText")->text(), QString("GOTO"));
    bench.find()->close();
    bench.selectRange(0, 5);
    bench.search->Replace1Click();
    QCOMPARE(Bench::field(bench.replace(), "findText")->text(), QString("PRINT"));
    QVERIFY(!Bench::box(bench.replace(), "inSelection")->isChecked());
    bench.replace()->close();
    bench.selectRange(0, 12);  // over a line break: no find text
    bench.search->SearchFindExecute();
    QCOMPARE(Bench::field(bench.find(), "findText")->text(), QString("PRINT"));
}

void FindReplaceTest::dialogNeverCoversTheMatch() {
    QString text;
    for (int i = 0; i < 40; ++i) text += QStringLiteral("LINE %1\n").arg(i);
    Bench bench(text + "TARGET");
    bench.window.resize(600, 500);
    bench.search->SearchFindExecute();
    QDialog* dialog = bench.find();
    Bench::field(dialog, "findText")->setText("TARGET");
    Bench::click(dialog, "findNext");
    const QRect match(bench.editor->viewport()->mapToGlobal(bench.editor->cursorRect().topLeft()),
                      bench.editor->cursorRect().size());
    dialog->move(match.topLeft() - QPoint(20, 10));  // the user put it over the place
    bench.search->SearchFindExecute();  // from the top again
    Bench::click(dialog, "findNext");
    QCOMPARE(bench.selected(), QString("TARGET"));
    const QRect now(bench.editor->viewport()->mapToGlobal(bench.editor->cursorRect().topLeft()),
                    bench.editor->cursorRect().size());
    QVERIFY(!dialog->frameGeometry().intersects(now));
}

QTEST_MAIN(FindReplaceTest)
#include "find_replace_test.moc"
