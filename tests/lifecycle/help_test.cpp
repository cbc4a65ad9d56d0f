// The Help menu: About, What's new from the current folder, the manual.
#include <QAction>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>

#include "lifecycle_fixture.h"

using namespace lintrel;
using namespace lintrel::testing;

namespace {

void trigger(MainWindow& window, const char* action) {
    auto* item = window.findChild<QAction*>(QLatin1String(action));
    QVERIFY2(item, action);
    item->trigger();
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void aboutShowsTheVersionOfTheCaption() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toLatin1() + "\r\n");
        QVERIFY(run.start());
        trigger(*run.window, "About1");
        QCOMPARE(run.dialogs.informations,
                 QStringList{"About Lintrel\r\n\r\nA universal, multi platform\r\nprogram development environment\r\n"
                             "for the BASIC language.\r\n\r\nVersion: v1.7.1b - test version\r\n\r\n"
                             "VELTMARK Studio, 2025"});
        QVERIFY(run.window->windowTitle().endsWith(kVersion));
    }

    void whatsNewReadsTheCurrentFolder() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toLatin1() + "\r\n");
        QVERIFY(run.start());
        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        writeFile(QDir(elsewhere.path()).filePath("WhatsNew.txt"), "Elsewhere\r\nLast line without break");
        trigger(*run.window, "MB_Whatsnew");
        writeFile(QDir(elsewhere.path()).filePath("WhatsNew.txt"), "");
        trigger(*run.window, "MB_Whatsnew");
        // Not UTF-8: read in code page 1250 like the projects (8A = S caron).
        writeFile(QDir(elsewhere.path()).filePath("WhatsNew.txt"), "\x8a\xe9\r\n");
        trigger(*run.window, "MB_Whatsnew");
        QCOMPARE(run.dialogs.informations,
                 (QStringList{"Elsewhere\r\nLast line without break\r\n", "", QString::fromUtf8("\u0160\u00e9\r\n")}));

        QVERIFY(QFile::remove(QDir(elsewhere.path()).filePath("WhatsNew.txt")));
        trigger(*run.window, "MB_Whatsnew");
        QCOMPARE(run.dialogs.informations.size(), 3);
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY(run.dialogs.errors[0].contains("WhatsNew.txt"));
    }

    void manualOpensTheConfiguredAddress() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nManual_Address=https://example.org/lintrel\r\n");
        QVERIFY(run.start());
        trigger(*run.window, "Help1");
        QCOMPARE(run.opened, QList<QUrl>{QUrl("https://example.org/lintrel")});
        QVERIFY(!run.window->findChild<QTextBrowser*>("ManualWindow"));
    }

    void manualShipsBesideTheProgram() {
        LifecycleFixture run;
        writeFile(run.inProgram("manual.md"), "# Lintrel user manual\n\nPress **F12** to compile.\n");
        QVERIFY(run.start());
        trigger(*run.window, "Help1");
        trigger(*run.window, "Help1");  // a second F1 reuses the window
        QVERIFY(run.opened.isEmpty());
        const auto browsers = run.window->findChildren<QTextBrowser*>("ManualWindow");
        QCOMPARE(browsers.size(), 1);
        QVERIFY(browsers[0]->isVisible());
        QVERIFY(browsers[0]->toPlainText().contains("Press F12 to compile."));
        QVERIFY(run.dialogs.errors.isEmpty());
    }

    // Opens centred over the main window; Ctrl+F finds, Escape closes.
    void manualWindowFindsAndClosesWithEscape() {
        LifecycleFixture run;
        writeFile(run.inProgram("manual.md"), "# Manual\n\nPress **F12** to compile.\n\nF12 again.\n");
        QVERIFY(run.start());
        run.window->move(100, 80);
        trigger(*run.window, "Help1");
        auto* browser = run.window->findChild<QTextBrowser*>("ManualWindow");
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        const QPoint offCentre = browser->frameGeometry().center() - run.window->frameGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        browser->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(browser));
        QTest::keyClick(browser, Qt::Key_F, Qt::ControlModifier);
        auto* field = browser->findChild<QLineEdit*>("findText");
        QVERIFY(field->isVisible() && field->hasFocus());
        QTest::keyClicks(field, "f12");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(browser->textCursor().selectedText(), QStringLiteral("F12"));
        const int first = browser->textCursor().position();
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(browser->textCursor().position() > first);
        QTest::keyClick(field, Qt::Key_Return);  // round to the start again
        QCOMPARE(browser->textCursor().position(), first);
        field->setText("nowhere");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(browser->findChild<QLabel*>("findMessage")->text(), QStringLiteral("Not found"));
        QTest::keyClick(field, Qt::Key_Escape);  // the find line goes first
        QVERIFY(!field->isVisible() && browser->isVisible());
        QTest::keyClick(browser, Qt::Key_Escape);
        QVERIFY(!browser->isVisible());
    }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
