// The build panel: shown at the first build and hidden on request, one entry
// per build with its file and sizes or its error, Enter on an entry selects
// its place, the dialogs can be switched off, the last 1,000 builds kept.
#include "editor/build_panel.h"

#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;

namespace {

QStringList entries(const WindowFixture& f) {
    QStringList texts;
    QTreeWidget* list = f.window->buildPanel()->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        texts << item->text(0).mid(8);  // without the time
        for (int k = 0; k < item->childCount(); ++k) texts << QStringLiteral("  ") + item->child(k)->text(0);
    }
    return texts;
}

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void build(WindowFixture& f, const QString& text) {
    f.setText(text);
    f.action("COMPILE1")->trigger();
}

}  // namespace

class BuildPanelTest : public QObject {
    Q_OBJECT
private slots:
    void shownAtTheFirstBuildWithOneEntryPerBuild();
    void enterOnAnErrorSelectsItsPlace();
    void dialogsCanBeSwitchedOff();
    void keepsTheLastThousandBuildsAndTheirWarnings();
    void buildWarningsAreListedAndCountedWithoutABox();
};

void BuildPanelTest::shownAtTheFirstBuildWithOneEntryPerBuild() {
    WindowFixture f;
    f.window->show();
    QVERIFY(!f.window->buildPanel()->isVisible());
    QVERIFY(!f.action("BuildPanel1")->isChecked());
    build(f, "&P=HL2\nPRINT 1");
    QVERIFY(f.window->buildPanel()->isVisible());
    QVERIFY(f.action("BuildPanel1")->isChecked());
    build(f, "&P=BASIC\nPRINT 1");
    build(f, "&P=HT\nA\n&C=1x");
    const QString exports = QDir(f.path("Exports")).absolutePath();
    QCOMPARE(entries(f), (QStringList{
                             "   HL2   " + exports + "/Compiled_HL2.htp, 425 bytes, BASIC code 6 bytes",
                             "   BASIC   " + exports + "/Compiled_BASIC.bas, 11 bytes",
                             "   HT   3:4: \"1x\" is not a valid integer value!",
                         }));
    QVERIFY(QTime::fromString(f.window->buildPanel()->list()->topLevelItem(0)->text(0).left(8), "HH:mm:ss")
                .isValid());
    QCOMPARE(QFileInfo(exports + "/Compiled_HL2.htp").size(), 425);
    // The dialogs of the build stay as they were.
    QCOMPARE(f.dialogs.messages, QStringList{"The size of the created file is: 425 bytes.\r\n"
                                             "The size of the BASIC code is: 6 bytes."});
    QCOMPARE(f.dialogs.errors.size(), 1);
    // Hidden from the View menu, it stays hidden at the next build.
    f.action("BuildPanel1")->trigger();
    build(f, "PRINT 2");
    QVERIFY(!f.window->buildPanel()->isVisible());
    QCOMPARE(entries(f).size(), 4);
}

void BuildPanelTest::enterOnAnErrorSelectsItsPlace() {
    WindowFixture f;
    showActive(f.window.get());
    const QString limit = QStringLiteral("&P=TVC\n&C=9990\n&I=10\nA\nB");
    build(f, limit);  // the line-number limit has no column: the whole line
    build(f, "&P=HT\nA\n&C=1x");
    f.editor()->moveCursor(QTextCursor::Start);
    QTreeWidget* list = f.window->buildPanel()->list();
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("1x"));
    QCOMPARE(f.editor()->textCursor().blockNumber(), 2);
    QVERIFY(f.editor()->hasFocus());
    f.setText(limit);
    emit list->itemActivated(list->topLevelItem(0), 0);
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("B"));
    QVERIFY(entries(f)[0].startsWith("   TVC   5:1: The maximum allowed value"));
}

void BuildPanelTest::dialogsCanBeSwitchedOff() {
    WindowFixture f;
    QVERIFY(f.action("BuildDialogs1")->isChecked());
    f.action("BuildDialogs1")->trigger();
    build(f, "&P=HL2\nPRINT 1");
    build(f, "&P=HT\nA\n&C=1x");
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.dialogs.errors, QStringList());
    QCOMPARE(entries(f).size(), 2);
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("1x"));  // the place is still selected
}

void BuildPanelTest::keepsTheLastThousandBuildsAndTheirWarnings() {
    WindowFixture f;
    BuildPanel* panel = f.window->buildPanel();
    for (int i = 0; i < BuildPanel::kKeptBuilds + 5; ++i) {
        BuildReport report;
        report.platform = QString::number(i);
        report.warnings = {Diagnostic{"a warning", 1, 2, 3, true}};
        panel->addBuild(report);
    }
    QTreeWidget* list = panel->list();
    QCOMPARE(list->topLevelItemCount(), 1000);
    QVERIFY(list->topLevelItem(0)->text(0).contains("   5   "));
    QCOMPARE(list->topLevelItem(0)->child(0)->text(0), QStringLiteral("warning: 2:3: a warning"));
    f.setText("A\nBCDEFG");
    emit list->itemActivated(list->topLevelItem(0)->child(0), 0);
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("DEF"));
}

void BuildPanelTest::buildWarningsAreListedAndCountedWithoutABox() {
    WindowFixture f;
    f.window->show();
    build(f, "&P=BASIC\n\\top PRINT 1\nGOTO \\nowhere");
    QCOMPARE(entries(f).mid(1), QStringList{"  warning: 3:6: Label \"\\nowhere\" is not defined."});
    QCOMPARE(f.window->statusBar()->currentMessage(), QStringLiteral("1 warning"));
    QVERIFY(f.dialogs.errors.isEmpty() && f.dialogs.messages.isEmpty());
    QVERIFY(QFile::exists(f.path("Exports/Compiled_BASIC.bas")));
    QTreeWidget* list = f.window->buildPanel()->list();
    emit list->itemActivated(list->topLevelItem(0)->child(0), 0);
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("\\nowhere"));
    // The Options item adds labels that nothing references.
    f.action("UnusedLabels1")->trigger();
    f.action("COMPILE1")->trigger();
    QCOMPARE(list->topLevelItem(1)->childCount(), 2);
    QCOMPARE(list->topLevelItem(1)->child(0)->text(0), QStringLiteral("warning: 2:1: Label \"\\top\" is never used."));
    QCOMPARE(f.window->statusBar()->currentMessage(), QStringLiteral("2 warnings"));
    // A build without warnings leaves no count behind.
    build(f, "&P=BASIC\nPRINT 1");
    QCOMPARE(f.window->statusBar()->currentMessage(), QString());
}

QTEST_MAIN(BuildPanelTest)
#include "build_panel_test.moc"
