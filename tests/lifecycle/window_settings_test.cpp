// The window's keys in Options.ini: read at start-up into the View and
// Options menus and Recent projects, written back at close; values out of
// range fall back to their defaults. And `lintrel FILE`.
#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QTest>

#include "editor/code_editor.h"
#include "editor/recent_projects.h"
#include "lifecycle_fixture.h"

using namespace lintrel;
using namespace lintrel::testing;

namespace {

bool checked(const LifecycleFixture& run, const char* action) {
    return run.window->findChild<QAction*>(QLatin1String(action))->isChecked();
}

}  // namespace

class WindowSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void readAtStartAndWrittenAtClose() {
        LifecycleFixture run;
        const QString project = run.inProgram("a.lpj");
        writeFile(project, "&P=HT\r\nA\r\n");
        const QString gone = run.inProgram("gone.lpj");
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toUtf8() +
                         "\r\nZoom=130\r\nColour_Scheme=dark\r\n"
                         "Current_Line=1\r\nLine_Numbers=0\r\nBuild_Dialogs=0\r\nUnused_Label_Warnings=1\r\nRecent1=" +
                         project.toUtf8() + "\r\nRecent2=" + run.programFolder.path().toUtf8() +
                         "\r\nRecent3=" + gone.toUtf8() + "\r\nRecent4=" + project.toUtf8() + "\r\n");
        QVERIFY(run.start());
        CodeEditor* editor = run.window->codeEditor();
        QCOMPARE(editor->zoom(), 130);
        QVERIFY(checked(run, "SchemeDark"));
        QVERIFY(checked(run, "CurrentLine1") && editor->highlightsCurrentLine());
        QVERIFY(!checked(run, "LineNumbers1") && !editor->showsLineNumbers());
        QVERIFY(checked(run, "BasicLineNumbers1") && editor->showsBasicLineNumbers());
        QVERIFY(!checked(run, "BuildDialogs1"));
        QVERIFY(checked(run, "UnusedLabels1"));
        // A folder is no project; a file that is gone stays until it is chosen.
        QCOMPARE(run.window->recentProjects()->paths(), (QStringList{project, gone}));

        run.window->findChild<QAction*>("ZoomIn1")->trigger();
        run.window->findChild<QAction*>("SchemeReadable")->trigger();
        run.window->findChild<QAction*>("Recent1")->trigger();
        QVERIFY(run.window->close());
        const QByteArray written = run.options();
        for (const QByteArray& line :
             {QByteArray("Zoom=140\r\n"), QByteArray("Colour_Scheme=Readable\r\n"),
              QByteArray("Current_Line=1\r\n"), QByteArray("Line_Numbers=0\r\n"),
              QByteArray("Build_Dialogs=0\r\n"), QByteArray("Unused_Label_Warnings=1\r\n"), "Recent1=" + project.toUtf8() + "\r\n",
              "Recent2=" + gone.toUtf8() + "\r\n", QByteArray("Recent3=\r\n"), QByteArray("Recent4=\r\n")})
            QVERIFY2(written.contains(line), line.constData());
    }

    void valuesOutOfRangeFallBack_data() {
        QTest::addColumn<QByteArray>("values");
        QTest::newRow("far too large") << QByteArray("Zoom=1000\r\nColour_Scheme=x\r\nCurrent_Line=7\r\n");
        QTest::newRow("too small") << QByteArray("Zoom=40\r\nColour_Scheme=\r\nLine_Numbers=-1\r\n");
        QTest::newRow("not numbers") << QByteArray(
            "Zoom=1e2\r\nBASIC_Line_Numbers=yes\r\nBuild_Dialogs=\r\n");
    }
    void valuesOutOfRangeFallBack() {
        QFETCH(QByteArray, values);
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toUtf8() + "\r\n" + values);
        QVERIFY(run.start());
        QCOMPARE(run.window->codeEditor()->zoom(), 100);
        QVERIFY(checked(run, "SchemeClassic"));
        QVERIFY(!checked(run, "CurrentLine1"));
        QVERIFY(checked(run, "LineNumbers1") && checked(run, "BasicLineNumbers1") &&
                checked(run, "BuildDialogs1"));
    }

    void fileNamedOnTheCommandLineOpens() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toUtf8() + "\r\n");
        const QString project = run.inProgram("start.lpj");
        writeFile(project, "&P=HL2\r\nPRINT 1\r\n");
        QVERIFY(run.start());
        run.window->openFromArguments({"lintrel", "-style=fusion", project});
        QCOMPARE(run.window->projectPath(), project);
        QCOMPARE(run.window->editor()->toPlainText(), QStringLiteral("&P=HL2\nPRINT 1"));
        QCOMPARE(run.window->recentProjects()->paths(), QStringList{project});
        run.window->openFromArguments({"lintrel", run.inProgram("missing.lpj")});
        QCOMPARE(run.dialogs.errors, QStringList{"File does not exist."});
        QCOMPARE(run.window->projectPath(), project);
    }

    // Every start came back at 1024 x 640 with the panels where they first go.
    void sizePlaceAndPanelsComeBack() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toUtf8() + "\r\n");
        QVERIFY(run.start());
        QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
        // A window manager moves the window once it has framed it, which settles the start size.
        run.window->move(run.window->pos() + QPoint(1, 1));
        run.window->resize(900, 700);
        QTRY_COMPARE(run.window->size(), QSize(900, 700));
        run.window->findChild<QAction*>("Outline1")->trigger();
        QDockWidget* outline = run.window->findChild<QDockWidget*>("OutlinePanel");
        QVERIFY(outline->isVisible());
        QVERIFY(run.window->close());
        QVERIFY(run.options().contains("Window_Geometry="));
        QVERIFY(run.options().contains("Window_State="));
        QVERIFY(run.start());
        QTRY_COMPARE(run.window->size(), QSize(900, 700));
        QVERIFY(run.window->findChild<QDockWidget*>("OutlinePanel")->isVisible());
        QVERIFY(run.window->findChild<QAction*>("Outline1")->isChecked());
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
