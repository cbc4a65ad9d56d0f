// The gutter's two columns against the build's own map from finished lines
// to source lines, their refresh after typing and at a directive error, the
// View menu's columns, and Go to line / Go to BASIC line.
#include <QLineEdit>
#include <QTest>

#include "compiler/build.h"
#include "editor/code_editor.h"
#include "editor/go_to_dialog.h"
#include "editor/line_numbering.h"
#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;

namespace {

// Builds through F12, waits for the gutter to catch up and builds the same
// lines once more for the finished lines.
void buildAndWait(WindowFixture& f, BuildResult& result) {
    f.action("COMPILE1")->trigger();
    QTRY_VERIFY(f.window->lineNumbering()->isCurrent());
    result =
        build(linesFromRawText(f.editor()->document()->toRawText()), BuildOptions{f.window->spaceRemoval()});
}

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

}  // namespace

class GutterTest : public QObject {
    Q_OBJECT
private slots:
    void basicColumnMatchesTheBuild_data();
    void basicColumnMatchesTheBuild();
    void typingRenumbersInTheBackground();
    void directiveErrorShowsNumbersUpToIt();
    void viewMenuShowsAndHidesEachColumn();
    void goToBasicLineAndGoToLine();
};

void GutterTest::basicColumnMatchesTheBuild_data() {
    QTest::addColumn<QString>("project");
    const QDir examples(QString::fromLocal8Bit(qgetenv("LINTREL_SOURCE_DIR")) + QStringLiteral("/examples"));
    for (const QString& machine : examples.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(machine)) << examples.filePath(machine + QStringLiteral("/hello.lpj"));
    QTest::newRow("jumps") << QString();
}

// Every finished line's number stands beside the source line it came from;
// every other source line has none.
void GutterTest::basicColumnMatchesTheBuild() {
    QFETCH(QString, project);
    WindowFixture f;
    if (project.isEmpty()) {
        project = f.path("Projects/jumps.lpj");
        WindowFixture::writeBytes(
            project,
            "&P=HT\r\n&C=100\r\n&I=5\r\nA\r\n| note\r\n\\x\r\n\tB\r\n&C=200\r\nC &I=50\r\n"
            "D\r\nE\r\n&C=1000\r\n\r\nF\r\n");
    }
    f.open(project);
    BuildResult result;
    buildAndWait(f, result);
    QVERIFY(result.ok());
    QVERIFY(!result.program.empty());
    CodeEditor* editor = f.window->codeEditor();
    std::vector<QString> expected(static_cast<std::size_t>(editor->blockCount()));
    for (std::size_t k = 0; k < result.program.size(); ++k)
        expected[result.program.origin(k)] = QString::number(result.program.number(k));
    for (int line = 0; line < editor->blockCount(); ++line) {
        QCOMPARE(editor->gutterBasicLineNumber(line), expected[static_cast<std::size_t>(line)]);
        QCOMPARE(editor->gutterLineNumber(line), QString::number(line + 1));
    }
}

void GutterTest::typingRenumbersInTheBackground() {
    WindowFixture f;
    f.setText("&P=BASIC\n&C=10\n&I=10\nA\nB");
    QTRY_COMPARE(f.window->codeEditor()->gutterBasicLineNumber(4), QStringLiteral("20"));
    QTextCursor cursor(f.editor()->document()->findBlockByNumber(3));
    f.editor()->setTextCursor(cursor);
    QTest::keyClicks(f.editor(), "X");
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QTRY_COMPARE(f.window->codeEditor()->gutterBasicLineNumber(5), QStringLiteral("30"));
    QCOMPARE(f.window->codeEditor()->gutterBasicLineNumber(3), QStringLiteral("10"));
    QCOMPARE(f.window->codeEditor()->gutterBasicLineNumber(4), QStringLiteral("20"));
    // The space option decides whether a line of spaces is a program line.
    f.setText("&P=HT\n  \nA");
    QTRY_COMPARE(f.window->codeEditor()->gutterBasicLineNumber(2), QStringLiteral("1"));
    f.action("CB_RUSPACE")->trigger();
    QTRY_COMPARE(f.window->codeEditor()->gutterBasicLineNumber(2), QStringLiteral("2"));
    QCOMPARE(f.window->codeEditor()->gutterBasicLineNumber(1), QStringLiteral("1"));
}

void GutterTest::directiveErrorShowsNumbersUpToIt() {
    WindowFixture f;
    f.setText("&P=TVC\nA\nB\n&I=0\nC\nD");
    BuildResult result;
    buildAndWait(f, result);
    QCOMPARE(f.dialogs.errors, QStringList{"Parameter \"0\" must be 1 or greater!"});
    CodeEditor* editor = f.window->codeEditor();
    QCOMPARE(editor->gutterBasicLineNumber(1), QStringLiteral("1"));
    QCOMPARE(editor->gutterBasicLineNumber(2), QStringLiteral("2"));
    QCOMPARE(editor->gutterBasicLineNumber(4), QString());
    QCOMPARE(editor->gutterBasicLineNumber(5), QString());
    QCOMPARE(editor->gutterLineNumber(5), QStringLiteral("6"));
}

void GutterTest::viewMenuShowsAndHidesEachColumn() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QWidget* gutter = f.window->codeEditor()->gutter();
    const int both = gutter->width();
    f.action("BasicLineNumbers1")->trigger();
    const int sourceOnly = gutter->width();
    f.action("LineNumbers1")->trigger();
    QCOMPARE(gutter->width(), 0);
    f.action("BasicLineNumbers1")->trigger();
    const int basicOnly = gutter->width();
    QVERIFY(sourceOnly > 0 && basicOnly > 0);
    QCOMPARE(sourceOnly + basicOnly, both);
    // The text starts right of the gutter.
    QCOMPARE(f.editor()->viewport()->geometry().left(), gutter->geometry().right() + 1);
}

void GutterTest::goToBasicLineAndGoToLine() {
    WindowFixture f;
    showActive(f.window.get());
    f.setText("&P=HT\n&C=10\n&I=10\nA\n|\nB\n&C=230\nC");
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    GoToDialog* dialog = f.window->goToBasicLineDialog();
    QVERIFY(dialog->isVisible());
    const auto go = [&](GoToDialog* to, const char* number) {
        to->present();
        to->field()->setText(QLatin1String(number));
        QTest::keyClick(to->field(), Qt::Key_Return);
        return f.editor()->textCursor().blockNumber();
    };
    QCOMPARE(go(dialog, "230"), 7);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(go(dialog, "25"), 5);  // between 20 and 230: the line before
    QCOMPARE(go(dialog, "10"), 3);
    go(dialog, "231");
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->message(),
             QStringLiteral("BASIC line 231 is beyond the program, which ends at line 230."));
    go(dialog, "9");
    QCOMPARE(dialog->message(),
             QStringLiteral("BASIC line 9 comes before the program, which starts at line 10."));
    f.setText("&P=HT\nA\n&C=x\nB");
    go(dialog, "5");
    QCOMPARE(dialog->message(),
             QStringLiteral("BASIC line 5 is beyond the program, which ends at line 1. The numbering "
                            "stops at line 3: \"x\" is not a valid integer value!"));
    dialog->hide();

    QTest::keyClick(f.editor(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(f.window->goToLineDialog()->isVisible());
    QCOMPARE(go(f.window->goToLineDialog(), "3"), 2);
    go(f.window->goToLineDialog(), "5");
    QCOMPARE(f.window->goToLineDialog()->message(), QStringLiteral("The project has lines 1 to 4."));
}

QTEST_MAIN(GutterTest)
#include "gutter_test.moc"
