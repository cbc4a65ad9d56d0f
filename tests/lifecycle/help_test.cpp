// The Help menu: About, What's new from the current folder (or where the
// program is installed), the manual.
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTimer>
#include <sys/stat.h>

#include "lifecycle/help.h"
#include "lifecycle_fixture.h"
#include "system/install_layout.h"

using namespace lintrel;
using namespace lintrel::testing;

namespace {

void trigger(MainWindow& window, const char* action) {
    auto* item = window.findChild<QAction*>(QLatin1String(action));
    QVERIFY2(item, action);
    item->trigger();
}

const QString kWhatsNewCut = "[WhatsNew.txt is longer than 1 MB; the rest is not shown.]";

// A program installed with its data apart (no portable marker): bin/lintrel
// and share/lintrel/, started from a third folder.
struct InstalledRun {
    QTemporaryDir root, current;
    const QString previousCurrent = QDir::currentPath();
    ScriptedDialogs dialogs;

    InstalledRun() {
        QDir(root.path()).mkpath("bin");
        QDir(root.path()).mkpath("share/lintrel");
        QDir::setCurrent(current.path());
    }
    ~InstalledRun() { QDir::setCurrent(previousCurrent); }
    QString whatsNewIn(const QString& place) const {
        if (place == "current") return QDir(current.path()).filePath("WhatsNew.txt");
        return QDir(root.path()).filePath(place + "/WhatsNew.txt");
    }
    void showWhatsNew() {
        const UserEnvironment user{.home = QDir(root.path()).filePath("home").toStdString(), .configHome = ""};
        MainWindow window(dialogs, installedLayout(QDir(root.path()).filePath("bin").toStdString(), user));
        lintrel::showWhatsNew(window, nullptr);
    }
};

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
        QCOMPARE(run.dialogs.texts,
                 (QStringList{"Elsewhere\r\nLast line without break\r\n", "", QString::fromUtf8("\u0160\u00e9\r\n")}));

        QVERIFY(QFile::remove(QDir(elsewhere.path()).filePath("WhatsNew.txt")));
        trigger(*run.window, "MB_Whatsnew");
        QCOMPARE(run.dialogs.texts.size(), 3);
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY(run.dialogs.errors[0].contains("WhatsNew.txt"));
    }

    // A program started from another folder finds the notes it came with.
    void whatsNewFallsBackToTheProgramsFolders_data() {
        QTest::addColumn<QStringList>("places");  // where a WhatsNew.txt is written, naming itself
        QTest::addColumn<QString>("current");     // what stands in the current folder otherwise
        QTest::addColumn<QString>("shown");       // whose text is shown; empty: none, an error
        QTest::newRow("current folder first") << QStringList{"current", "bin", "share/lintrel"} << "" << "current";
        QTest::newRow("beside the program") << QStringList{"bin", "share/lintrel"} << "" << "bin";
        QTest::newRow("shipped data folder") << QStringList{"share/lintrel"} << "" << "share/lintrel";
        QTest::newRow("a folder in the current folder") << QStringList{"bin"} << "folder" << "bin";
        QTest::newRow("a pipe in the current folder") << QStringList{"bin"} << "pipe" << "bin";
        QTest::newRow("nowhere") << QStringList{} << "" << "";
    }
    void whatsNewFallsBackToTheProgramsFolders() {
        QFETCH(QStringList, places);
        QFETCH(QString, current);
        QFETCH(QString, shown);
        InstalledRun run;
        for (const QString& place : places) {
            writeFile(run.whatsNewIn(place), "Notes in " + place.toLatin1() + "\n");
        }
        if (current == "folder") QVERIFY(QDir(run.current.path()).mkdir("WhatsNew.txt"));
        // Opening a pipe for reading would wait for a writer for ever.
        if (current == "pipe") QCOMPARE(mkfifo(QFile::encodeName(run.whatsNewIn("current")).constData(), 0600), 0);
        run.showWhatsNew();
        if (shown.isEmpty()) {
            QVERIFY(run.dialogs.texts.isEmpty());
            QCOMPARE(run.dialogs.errors.size(), 1);
            QVERIFY2(run.dialogs.errors[0].contains(run.whatsNewIn("current")), qPrintable(run.dialogs.errors[0]));
            return;
        }
        QCOMPARE(run.dialogs.texts, QStringList{"Notes in " + shown + "\r\n"});
        QVERIFY(run.dialogs.errors.isEmpty());
    }

    // A huge file neither freezes the program nor yields a window taller than
    // the screen: only the first megabyte is read, and the cut is said.
    void whatsNewReadsAtMostOneMegabyte_data() {
        QTest::addColumn<QByteArray>("line");  // repeated to fill 3 MB
        QTest::addColumn<QString>("shownLine");
        QTest::addColumn<QStringList>("cutLine");  // what is left of the line the cut goes through
        QTest::newRow("ASCII, 34 bytes a line")
            << QByteArray("Version 1.7.1 fixes line numbers\r\n") << "Version 1.7.1 fixes line numbers"
            << QStringList{"Version 1.7.1 fi"};
        // The cut falls inside the two-byte letter that starts a line; it
        // must not turn the whole text into code page 1250.
        QTest::newRow("UTF-8, 33 bytes a line")
            << QByteArray("\xc3\xa1rv\xc3\xadzt\xc5\xb1r\xc5\x91 "
                          "t\xc3\xbck\xc3\xb6rf\xc3\xbar\xc3\xb3g\xc3\xa9p!\n")
            << QString::fromUtf8("\u00e1rv\u00edzt\u0171r\u0151 t\u00fck\u00f6rf\u00far\u00f3g\u00e9p!")
            << QStringList{};
    }
    void whatsNewReadsAtMostOneMegabyte() {
        QFETCH(QByteArray, line);
        QFETCH(QString, shownLine);
        QFETCH(QStringList, cutLine);
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toLatin1() + "\r\n");
        QByteArray huge;
        while (huge.size() < (3 << 20)) huge += line;
        writeFile(run.inCurrent("WhatsNew.txt"), huge);
        QVERIFY(run.start());
        trigger(*run.window, "MB_Whatsnew");
        QCOMPARE(run.dialogs.texts.size(), 1);
        const qsizetype whole = (1 << 20) / line.size();  // lines that fit in the first megabyte
        const QStringList expected = QStringList(whole, shownLine) + cutLine + QStringList{kWhatsNewCut, ""};
        QCOMPARE(run.dialogs.texts[0].split("\r\n"), expected);
        QVERIFY(run.dialogs.errors.isEmpty());
    }

    // The text window took over a minute to lay out a line of a megabyte
    // without a blank: lines are shown in pieces of at most 1000 characters.
    void whatsNewBreaksOverlongLines() {
        LifecycleFixture run;
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toLatin1() + "\r\n");
        // A character of two UTF-16 units is not split between pieces.
        const QByteArray emoji = "\xf0\x9f\x8e\x89";
        writeFile(run.inCurrent("WhatsNew.txt"),
                  "Short\n" + QByteArray(2500, 'x') + "\n" + QByteArray(1000, 'y') + "\n" + QByteArray(999, 'z') + emoji);
        QVERIFY(run.start());
        trigger(*run.window, "MB_Whatsnew");
        const QString thousand(1000, 'x');
        QCOMPARE(run.dialogs.texts.size(), 1);
        QCOMPARE(run.dialogs.texts[0].split("\r\n"), (QStringList{"Short", thousand, thousand, QString(500, 'x'),
                                                                   QString(1000, 'y'), QString(999, 'z'),
                                                                   QString::fromUtf8(emoji), ""}));
    }

    // The real window: within the screen, its OK button in reach, the text scrolling.
    void textWindowFitsTheScreen() {
        QtDialogs dialogs;
        QString text;
        for (int i = 0; i < 5000; ++i) text += QStringLiteral("Line %1 of the notes\r\n").arg(i);
        QRect frame;
        int scrollRange = 0;
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window) return;
            frame = window->frameGeometry();
            if (auto* view = window->findChild<QPlainTextEdit*>()) {
                shown = view->toPlainText();
                scrollRange = view->verticalScrollBar()->maximum();
            }
            window->close();
        });
        dialogs.showText(nullptr, "Lintrel - What's new", text);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(frame), qPrintable(QString("%1,%2 %3x%4").arg(frame.x()).arg(frame.y())
                                                        .arg(frame.width()).arg(frame.height())));
        QVERIFY(scrollRange > 0);
        QCOMPARE(shown, QString(text).replace("\r\n", "\n"));
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

    // The manual's Contents could not be clicked: its headings had no anchors.
    void contentsEntriesGoToTheirSections() {
        LifecycleFixture run;
        QByteArray manual = "# Manual\n\n## Contents\n\n1. [A first project](#1-a-first-project)\n"
                            "2. [The window: menus](#2-the-window-menus)\n\n";
        for (int i = 0; i < 200; ++i) manual += "Filler line " + QByteArray::number(i) + "\n\n";
        manual += "## 1. A first project\n\nText.\n\n";
        for (int i = 0; i < 200; ++i) manual += "More filler " + QByteArray::number(i) + "\n\n";
        manual += "## 2. The window: menus\n\nThe end.\n";
        writeFile(run.inProgram("manual.md"), manual);
        QVERIFY(run.start());
        trigger(*run.window, "Help1");
        auto* browser = run.window->findChild<QTextBrowser*>("ManualWindow");
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        browser->setSource(QUrl("#1-a-first-project"));  // what a click on the entry does
        const int first = browser->verticalScrollBar()->value();
        QVERIFY(first > 0);
        browser->setSource(QUrl("#2-the-window-menus"));
        QVERIFY(browser->verticalScrollBar()->value() > first);
    }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
