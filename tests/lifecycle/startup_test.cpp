// Start-up and close: Options.ini, What's new once per version, the close
// question and what it saves.
#include <QTest>

#include "lifecycle_fixture.h"

using namespace lintrel;
using namespace lintrel::testing;

namespace {

const QString kCloseQuestion = QStringLiteral("The project is not saved. Would you like to save now?");
const QString kWhatsNewShown = QStringLiteral("Lintrel news\r\nSecond line\r\n");

QByteArray optionsWith(const QByteArray& version, const QByteArray& spaceRemove) {
    return "[Parameters]\r\nSWVer=" + version + "\r\nSpace_Remove=" + spaceRemove + "\r\n";
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunShowsWhatsNewAndCloseWritesBothKeys() {
        LifecycleFixture run;
        QVERIFY(run.start());
        QCOMPARE(run.window->windowTitle(), "Lintrel - " + kVersion);
        QCOMPARE(run.dialogs.texts, QStringList{kWhatsNewShown});
        QVERIFY(run.dialogs.errors.isEmpty());
        QVERIFY(run.window->spaceRemoval());
        QCOMPARE(run.window->size(), QSize(1024, 640));
        QVERIFY(run.window->isSaved());
        QVERIFY(run.window->editor()->toPlainText().startsWith("&P=BASIC\n&C=10\n&I=10\n"));
        QVERIFY(!QFile::exists(run.optionsFile()));

        QVERIFY(run.window->close());
        QVERIFY(run.dialogs.questions.isEmpty());  // nothing unsaved: nothing asked
        const QByteArray written = run.options();
        QVERIFY2(written.contains("[Parameters]\r\n"), written.constData());
        QVERIFY2(written.contains("SWVer=" + kVersion.toLatin1() + "\r\n"), written.constData());
        QVERIFY2(written.contains("Space_Remove=1\r\n"), written.constData());

        // The second run knows this version.
        run.dialogs.texts.clear();
        QVERIFY(run.start());
        QVERIFY(run.dialogs.texts.isEmpty());
    }

    // What's new comes after the settings are read and before the size, the
    // new project and the first showing of the window.
    void startUpOrder() {
        LifecycleFixture run;
        run.writeOptions(optionsWith("v1.0", "0"));
        bool shown = true, ruspace = true;
        QString caption, text;
        QSize size;
        run.dialogs.whileTextShown = [&] {
            shown = run.window->isVisible();
            caption = run.window->windowTitle();
            ruspace = run.window->spaceRemoval();
            text = run.window->editor()->toPlainText();
            size = run.window->size();
        };
        QVERIFY(run.start());
        QCOMPARE(run.dialogs.texts.size(), 1);
        QVERIFY(!shown);
        QCOMPARE(caption, "Lintrel - " + kVersion);
        QVERIFY(!ruspace);
        QCOMPARE(text, QString());
        QVERIFY(size != QSize(1024, 640));
        QCOMPARE(run.window->size(), QSize(1024, 640));
        QVERIFY(run.window->editor()->toPlainText().startsWith("&P=BASIC"));
    }

    void whatsNewShownForAnyOtherStoredVersion_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("shown");
        QTest::newRow("same") << kVersion.toLatin1() << false;
        QTest::newRow("other letter case") << kVersion.toUpper().toLatin1() << true;
        QTest::newRow("older") << QByteArray("v1.6.0") << true;
        QTest::newRow("empty") << QByteArray() << true;
    }
    void whatsNewShownForAnyOtherStoredVersion() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, shown);
        LifecycleFixture run;
        run.writeOptions(optionsWith(stored, "1"));
        QVERIFY(run.start());
        QCOMPARE(run.dialogs.texts, shown ? QStringList{kWhatsNewShown} : QStringList{});
    }

    void spaceRemovalReadAndWrittenBack_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("0") << optionsWith("v", "0") << false;
        QTest::newRow("5") << optionsWith("v", "5") << true;
        QTest::newRow("not a number") << optionsWith("v", "x") << true;
        QTest::newRow("-1") << optionsWith("v", "-1") << true;
        QTest::newRow("missing key") << QByteArray("[Parameters]\r\nSWVer=v\r\n") << true;
        QTest::newRow("other section only") << QByteArray("[Other]\r\nSpace_Remove=0\r\n") << true;
    }
    void spaceRemovalReadAndWrittenBack() {
        QFETCH(QByteArray, options);
        QFETCH(bool, ticked);
        LifecycleFixture run;
        run.writeOptions(options);
        QVERIFY(run.start());
        QCOMPARE(run.window->spaceRemoval(), ticked);
        run.window->setSpaceRemoval(!ticked);
        QVERIFY(run.window->close());
        QVERIFY(run.options().contains(ticked ? "Space_Remove=0\r\n" : "Space_Remove=1\r\n"));
    }

    void closeKeepsOtherSectionsAndKeys() {
        LifecycleFixture run;
        run.writeOptions("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Parameters]\r\nSWVer=v1.6.0\r\n"
                         "Update_Server=\r\nSpace_Remove=1\r\nMine=keep me\r\n[Last]\r\nX=1\r\n");
        QVERIFY(run.start());
        run.window->setSpaceRemoval(false);
        QVERIFY(run.window->close());
        // The window's size and panels come last in their section, in the toolkit's own form.
        QByteArray written = run.options();
        for (const char* key : {"Window_Geometry=", "Window_State="}) {
            const qsizetype at = written.indexOf("\r\n" + QByteArray(key));
            QVERIFY2(at >= 0, key);
            written.remove(at, written.indexOf("\r\n", at + 2) - at);
        }
        QCOMPARE(written, QByteArray("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Parameters]\r\nSWVer=") +
                                    kVersion.toLatin1() +
                                    "\r\nUpdate_Server=\r\nSpace_Remove=0\r\nMine=keep me\r\nLine_Numbers=1\r\n"
                                    "BASIC_Line_Numbers=1\r\nCurrent_Line=0\r\nBuild_Dialogs=1\r\nUnused_Label_Warnings=0\r\n"
                                    "Zoom=100\r\n"
                                    "Colour_Scheme=Classic\r\n[Last]\r\nX=1\r\n");
    }

    // Approved "&E=" commands are read at each build and kept by the close.
    void approvedEmulatorCommandsAreKept() {
        LifecycleFixture run;
        QVERIFY(QDir(run.programFolder.path()).mkdir("Exports"));
        // The first key was deleted by hand: the others still count.
        run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toLatin1() + "\r\nApproved_Emulator_Command_2=\"true\"\r\n");
        QVERIFY(run.start());
        auto build = [&](const QString& command) {
            run.window->editor()->setPlainText("&P=BASIC\nPRINT 1\n&E=" + command);
            run.window->setSaved(true);
            run.window->BitBtnCOMPILLEClick();
        };
        build("true");
        QCOMPARE(run.dialogs.commandsAsked, QStringList());
        run.dialogs.commandAnswers = {{true, true}};
        build(": second");
        QCOMPARE(run.dialogs.commandsAsked, QStringList({": second"}));
        QVERIFY(run.window->close());
        const QByteArray written = run.options();
        for (const char* line : {"Approved_Emulator_Command_1=\"true\"\r\n", "Approved_Emulator_Command_2=\": second\"\r\n",
                                 "Space_Remove=1\r\n"})
            QVERIFY2(written.contains(line), written.constData());
        QVERIFY(run.start());
        build(": second");
        QCOMPARE(run.dialogs.commandsAsked.size(), 1);
    }

    void closeUnsavedAnsweringNoWritesSettingsOnly() {
        LifecycleFixture run;
        QVERIFY(run.start());
        run.edit("10 PRINT");
        run.dialogs.yesNoAnswers = {false};
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.questions, QStringList{kCloseQuestion});
        QVERIFY(run.dialogs.saveProposedNames.isEmpty());  // no Save As
        QVERIFY(run.window->isSaved());
        QVERIFY(run.options().contains("SWVer=" + kVersion.toLatin1()));
    }

    void closeUnsavedAnsweringYesSavesTheProjectFile() {
        LifecycleFixture run;
        QVERIFY(run.start());
        const QString project = run.inProgram("game.lpj");
        run.dialogs.saveAnswers = {project};
        QVERIFY(run.window->SaveAS());
        run.edit("PRINT \"CLOSED\"");
        run.dialogs.yesNoAnswers = {true};
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.questions, QStringList{kCloseQuestion});
        QVERIFY(readFile(project).contains("PRINT \"CLOSED\""));
        QVERIFY(QFile::exists(run.optionsFile()));
    }

    void closeUnsavedAnsweringYesWithoutFileSavesAs() {
        LifecycleFixture run;
        QVERIFY(run.start());
        run.edit("PRINT 1");
        const QString project = run.inProgram("new.lpj");
        run.dialogs.yesNoAnswers = {true};
        run.dialogs.saveAnswers = {project};
        QVERIFY(run.window->close());
        QVERIFY(readFile(project).contains("PRINT 1"));
        QVERIFY(QFile::exists(run.optionsFile()));
    }

    // Escape saved the project as Yes does; now it is Cancel, as is the
    // question's Cancel button: the window stays open and nothing changes.
    void closeQuestionCancelKeepsTheWindowOpen() {
        LifecycleFixture run;
        QVERIFY(run.start());
        const QString project = run.inProgram("kept.lpj");
        run.dialogs.saveAnswers = {project};
        QVERIFY(run.window->SaveAS());
        const QByteArray saved = readFile(project);
        run.edit("PRINT \"KEPT\"");
        run.dialogs.dismissals = 1;
        QVERIFY(!run.window->close());
        QCOMPARE(run.dialogs.questions, QStringList{kCloseQuestion});
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->isSaved());
        QVERIFY(run.window->editor()->toPlainText().contains("PRINT \"KEPT\""));
        QCOMPARE(readFile(project), saved);
        QVERIFY(!QFile::exists(run.optionsFile()));

        // Yes and No stay as they were.
        run.dialogs.yesNoAnswers = {true};
        QVERIFY(run.window->close());
        QVERIFY(readFile(project).contains("PRINT \"KEPT\""));
    }

    // The user asked to save; a save that did not happen must not lose the work.
    void closeStaysOpenWhenSaveAsIsCancelled() {
        LifecycleFixture run;
        QVERIFY(run.start());
        run.edit("PRINT 2");
        run.dialogs.yesNoAnswers = {true};  // save now? yes; then the save dialog is cancelled
        QVERIFY(!run.window->close());
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->isSaved());
        QVERIFY(run.window->editor()->toPlainText().contains("PRINT 2"));
        QVERIFY(!QFile::exists(run.optionsFile()));

        // Asked again at the next close; No closes.
        run.dialogs.yesNoAnswers = {false};
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.questions.count(kCloseQuestion), 2);
    }

    // Yes to the close question, then Cancel to the changed-file question.
    void closeStaysOpenWhenTheFileChangedAndTheSaveIsCancelled() {
        LifecycleFixture run;
        QVERIFY(run.start());
        const QString project = run.inProgram("shared.lpj");
        run.dialogs.saveAnswers = {project};
        QVERIFY(run.window->SaveAS());
        run.edit("PRINT 5");
        writeFile(project, "THEIRS, LONGER THAN BEFORE\r\n");
        run.dialogs.yesNoAnswers = {true};
        QVERIFY(!run.window->close());
        QCOMPARE(run.dialogs.changedFileQuestions, 1);
        QCOMPARE(readFile(project), QByteArray("THEIRS, LONGER THAN BEFORE\r\n"));
        QVERIFY(!run.window->isSaved());
        QVERIFY(!QFile::exists(run.optionsFile()));
    }

    void closeStaysOpenWhenOverwriteIsDeclined() {
        LifecycleFixture run;
        QVERIFY(run.start());
        const QString existing = run.inProgram("old.lpj");
        writeFile(existing, "OLD\r\n");
        run.edit("PRINT 3");
        run.dialogs.yesNoAnswers = {true, false};  // save now? yes; overwrite? no
        run.dialogs.saveAnswers = {existing};
        QVERIFY(!run.window->close());
        QVERIFY(run.window->isVisible());
        QCOMPARE(readFile(existing), QByteArray("OLD\r\n"));
        QVERIFY(!QFile::exists(run.optionsFile()));
    }

    void closeStaysOpenWhenTheWriteFails() {
        LifecycleFixture run;
        QVERIFY(run.start());
        QVERIFY(QDir(run.programFolder.path()).mkdir("work"));
        const QString project = run.inProgram("work/game.lpj");
        run.dialogs.saveAnswers = {project};
        QVERIFY(run.window->SaveAS());
        run.edit("PRINT 4");
        // The folder is gone and a plain file stands in its place (tests may run as root).
        QVERIFY(QDir(run.inProgram("work")).removeRecursively());
        writeFile(run.inProgram("work"), "not a folder");
        run.dialogs.yesNoAnswers = {true};
        QVERIFY(!run.window->close());
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->isSaved());
        QVERIFY(run.window->editor()->toPlainText().contains("PRINT 4"));
        QVERIFY(!QFile::exists(run.optionsFile()));
    }

    void settingsThatCannotBeWrittenAreReportedAndTheWindowCloses() {
        LifecycleFixture run;
        QVERIFY(run.start());
        QVERIFY(QDir(run.programFolder.path()).removeRecursively());  // the folder went away
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY2(run.dialogs.errors[0].contains("Options.ini"), qPrintable(run.dialogs.errors[0]));
    }

    // Options.ini exists but cannot be read: writing would drop its other keys.
    void unreadableSettingsAreNotReplaced() {
        LifecycleFixture run;
        QVERIFY(QDir(run.programFolder.path()).mkdir("Options.ini"));
        QVERIFY(run.start());
        QCOMPARE(run.dialogs.texts.size(), 1);  // read as defaults
        QVERIFY(run.window->spaceRemoval());
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY(run.dialogs.errors[0].contains("Options.ini"));
        QVERIFY(QFileInfo(run.optionsFile()).isDir());
    }

    void unreadableWhatsNewIsReportedAndStartUpGoesOn_data() {
        QTest::addColumn<bool>("asFolder");
        QTest::newRow("missing") << false;
        QTest::newRow("a folder") << true;
    }
    void unreadableWhatsNewIsReportedAndStartUpGoesOn() {
        QFETCH(bool, asFolder);
        LifecycleFixture run;
        QVERIFY(QFile::remove(run.inCurrent("WhatsNew.txt")));
        if (asFolder) QVERIFY(QDir(run.currentFolder.path()).mkdir("WhatsNew.txt"));
        QVERIFY(run.start());
        QVERIFY(run.dialogs.texts.isEmpty());
        QCOMPARE(run.dialogs.errors.size(), 1);
        QVERIFY2(run.dialogs.errors[0].contains(run.inCurrent("WhatsNew.txt")), qPrintable(run.dialogs.errors[0]));
        QCOMPARE(run.window->size(), QSize(1024, 640));
        QVERIFY(run.window->isSaved());
        QVERIFY(run.window->editor()->toPlainText().startsWith("&P=BASIC"));
    }

    // A first start with an empty Projects/ offers the examples there; it
    // never writes over a file, and a later start asks nothing.
    void firstStartOffersTheExamples_data() {
        QTest::addColumn<bool>("firstStart");
        QTest::addColumn<bool>("projectsEmpty");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::newRow("first start, empty, Yes") << true << true << true << true;
        QTest::newRow("first start, empty, No") << true << true << false << true;
        QTest::newRow("first start, a project there") << true << false << true << false;
        QTest::newRow("later start") << false << true << true << false;
    }
    void firstStartOffersTheExamples() {
        QFETCH(bool, firstStart);
        QFETCH(bool, projectsEmpty);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        LifecycleFixture run;
        if (!firstStart) run.writeOptions("[Parameters]\r\nSWVer=" + kVersion.toUtf8() + "\r\n");
        QVERIFY(QDir(run.programFolder.path()).mkpath("examples/ht"));
        QVERIFY(QDir(run.programFolder.path()).mkpath("Projects"));
        writeFile(run.inProgram("examples/ht/hello.lpj"), "&P=HT\r\nPRINT 1\r\n");
        writeFile(run.inProgram("examples/first.lpj"), "&P=HL2\r\n");
        if (!projectsEmpty) writeFile(run.inProgram("Projects/mine.lpj"), "MINE\r\n");
        run.dialogs.yesNoAnswers = {answer};
        QVERIFY(run.start());
        const QString question = QStringLiteral("The Projects folder is empty. Copy the example projects into it?");
        QCOMPARE(run.dialogs.questions.contains(question), asked);
        const bool copied = asked && answer;
        QCOMPARE(readFile(run.inProgram("Projects/ht/hello.lpj")), copied ? QByteArray("&P=HT\r\nPRINT 1\r\n") : QByteArray());
        QCOMPARE(QFile::exists(run.inProgram("Projects/first.lpj")), copied);
        if (!projectsEmpty) QCOMPARE(readFile(run.inProgram("Projects/mine.lpj")), QByteArray("MINE\r\n"));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
