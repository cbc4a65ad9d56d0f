// F12: save first, the build's error at its place in the editor, the output
// file in Exports, the size report and the emulator start.
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include "compiler/build.h"
#include "export/export.h"
#include "window_fixture.h"

using lintrel::testing::WindowFixture;

class BuildCommandTest : public QObject {
    Q_OBJECT
private slots:
    void badPlatformSelectsTheValue();
    void emptyValueSelectsNothingAfterTheEquals();
    void errorsWithoutAColumnSelectTheirLine_data();
    void errorsWithoutAColumnSelectTheirLine();
    void failedBuildEmptiesBothBars_data();
    void failedBuildEmptiesBothBars();
    void messageBytesAreShownAsText();
    void homelabEmptyProgramAndSizeReport();
    void editorHiddenWhileTheBarsMove();
    void basicProgramIsWrittenWithoutReport();
    void spaceRemovalReachesTheBuild();
    void namedProjectIsSavedFirst();
    void failedSaveStopsTheBuild();
    void buildKeepsAFileAnotherProgramChanged();
    void unsavableCharacterStopsTheBuild();
    void missingExportsFolderIsReported();
    void emulatorStartsAfterTheReport();
    void emulatorCommandRunsOnlyWhenApproved();
    void commandQuestionShowsHiddenCharacters();
};

namespace {

// Builds the text as an unnamed project; the Save As dialog is cancelled.
void buildText(WindowFixture& f, const QString& text) {
    f.setText(text);
    f.action("COMPILE1")->trigger();
}

}  // namespace

void BuildCommandTest::badPlatformSelectsTheValue() {
    WindowFixture f;
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.window->menuBar()->setFocus();  // the editor gets the focus back from the error
    buildText(f, QStringLiteral("PRINT 1\n&E=never\n&P=HL4 | comment\nEND"));
    QCOMPARE(f.dialogs.errors, QStringList({"\"HL4\" is not a valid platform!"}));
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("HL4"));
    QCOMPARE(f.editor()->textCursor().selectionStart(), 8 + 9 + 3);
    QVERIFY(f.editor()->isVisible());
    QVERIFY(f.editor()->hasFocus());
    QVERIFY(QDir(f.path("Exports")).isEmpty());
}

void BuildCommandTest::emptyValueSelectsNothingAfterTheEquals() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=BASIC\n&C="));
    QCOMPARE(f.dialogs.errors, QStringList({"\"\" is not a valid integer value!"}));
    QVERIFY(!f.editor()->textCursor().hasSelection());
    QCOMPARE(f.editor()->textCursor().position(), 9 + 3);
}

namespace {

QString repeated(const QString& line, int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << line;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void BuildCommandTest::errorsWithoutAColumnSelectTheirLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString longString = QStringLiteral("PRINT \"%1\"").arg(QString(300, QLatin1Char('X')));
    QTest::newRow("line-number limit") << QStringLiteral("&P=HL2\n&C=32759\nA\nB")
                                       << "The maximum allowed value for BASIC line numbering has been exceeded. (32759)";
    QTest::newRow("TVC line too long") << QStringLiteral("&P=TVC\nCLS\n%1\nEND").arg(longString)
                                       << "Line 2 is too long for TVC: a line record holds at most 255 bytes!";
    QTest::newRow("PRIMO addresses") << "&P=PRIMO\n" + repeated(QStringLiteral("PRINT \"%1\"").arg(QString(200, 'Y')), 400)
                                     << "The program is too large for PRIMO: its addresses would pass FFFF!";
    QTest::newRow("TVC length") << "&P=TVC\n" + repeated(QStringLiteral("PRINT \"%1\"").arg(QString(200, 'Y')), 400)
                                << "The program is too large for TVC: its length would pass FFFF!";
}

// The line the core names is selected whole, the caret at its start; before,
// nothing was selected and the caret stayed where it was.
void BuildCommandTest::errorsWithoutAColumnSelectTheirLine() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    std::vector<std::string> lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
    const lintrel::BuildResult built = lintrel::build(lines, lintrel::BuildOptions{});
    const lintrel::Diagnostic diagnostic =
        built.error ? *built.error : *lintrel::makeOutputFile(built).error;
    QVERIFY(!diagnostic.selects);
    QVERIFY(diagnostic.line > 0);

    WindowFixture f;
    f.setText(text);
    QTextCursor cursor = f.editor()->textCursor();
    cursor.setPosition(2);
    f.editor()->setTextCursor(cursor);
    f.action("COMPILE1")->trigger();
    QCOMPARE(f.dialogs.errors, QStringList({message}));
    const QTextBlock block = f.editor()->document()->findBlockByNumber(diagnostic.line);
    QCOMPARE(f.editor()->textCursor().selectedText(), block.text());
    QCOMPARE(f.editor()->textCursor().position(), block.position());
    QVERIFY(QDir(f.path("Exports")).isEmpty());
}

void BuildCommandTest::failedBuildEmptiesBothBars_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withExports");
    QTest::newRow("directive error") << "&P=HL2\n" + repeated(QStringLiteral("PRINT 1"), 400) + "\n&C=X" << true;
    QTest::newRow("program too large") << "&P=TVC\n" + repeated(QStringLiteral("PRINT \"%1\"").arg(QString(200, 'Y')), 400)
                                       << true;
    QTest::newRow("file not written") << QStringLiteral("&P=HL2\nPRINT 1") << false;
    QTest::newRow("character without a byte") << QStringLiteral("PRINT \"%1\"").arg(QChar(0x263A)) << true;
}

// A failed build must not look finished, nor leave the bars of the build before.
void BuildCommandTest::failedBuildEmptiesBothBars() {
    QFETCH(QString, text);
    QFETCH(bool, withExports);
    WindowFixture f;
    buildText(f, QStringLiteral("&P=HL2\nPRINT 1"));
    QCOMPARE(f.window->stageProgressBar()->value(), 6);
    if (!withExports) QVERIFY(QDir(f.path("Exports")).removeRecursively());
    buildText(f, text);
    QCOMPARE(f.dialogs.errors.size(), 1);
    for (QProgressBar* bar : {f.window->passProgressBar(), f.window->stageProgressBar()})
        QCOMPARE(bar->value(), bar->minimum());
}

void BuildCommandTest::messageBytesAreShownAsText() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=%1r%2").arg(QChar(0x00C1), QChar(0x0159)));
    QCOMPARE(f.dialogs.errors, QStringList({QStringLiteral("\"%1r%2\" is not a valid platform!").arg(QChar(0x00C1), QChar(0x0159))}));
    QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("%1r%2").arg(QChar(0x00C1), QChar(0x0159)));
}

void BuildCommandTest::homelabEmptyProgramAndSizeReport() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=HL2"));
    QCOMPARE(f.dialogs.errors, QStringList());
    QCOMPARE(QFileInfo(f.path("Exports/Compiled_HL2.htp")).size(), 420);
    QCOMPARE(f.dialogs.messages,
             QStringList({"The size of the created file is: 420 bytes.\r\nThe size of the BASIC code is: 1 bytes."}));
    QCOMPARE(f.window->stageProgressBar()->maximum(), 6);
    QCOMPARE(f.window->stageProgressBar()->value(), 6);
    QVERIFY(!f.editor()->isHidden());
}

// The bars follow the passes while the editor is hidden; the editor is back
// when the size report shows.
void BuildCommandTest::editorHiddenWhileTheBarsMove() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.setText(QStringLiteral("&P=HL2\nPRINT 1\nPRINT 2\nEND"));
    QList<bool> hiddenWhenMoved;
    for (QProgressBar* bar : {f.window->passProgressBar(), f.window->stageProgressBar()})
        QObject::connect(bar, &QProgressBar::valueChanged, f.window.get(),
                         [&] { hiddenWhenMoved << f.editor()->isHidden(); });
    bool hiddenAtReport = true;
    f.dialogs.whileMessageShown = [&] { hiddenAtReport = f.editor()->isHidden(); };
    f.action("COMPILE1")->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(hiddenWhenMoved.size() > 6);
    QVERIFY(!hiddenWhenMoved.contains(false));
    QVERIFY(!hiddenAtReport);
    QCOMPARE(f.window->stageProgressBar()->value(), 6);
}

void BuildCommandTest::basicProgramIsWrittenWithoutReport() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=BASIC\n&C=10\n&I=10\nPRINT 1\nGOTO \\a\n\\a END"));
    QCOMPARE(f.dialogs.errors, QStringList());
    QCOMPARE(f.dialogs.messages, QStringList());
    const QByteArray output = WindowFixture::readBytes(f.path("Exports/Compiled_BASIC.bas"));
    QVERIFY2(output.startsWith("10 PRINT 1"), output.constData());
    QVERIFY2(output.contains("20 GOTO 30"), output.constData());
    QCOMPARE(f.window->stageProgressBar()->value(), 5);
    // Building again writes the same file.
    f.action("COMPILE1")->trigger();
    QCOMPARE(WindowFixture::readBytes(f.path("Exports/Compiled_BASIC.bas")), output);
}

void BuildCommandTest::spaceRemovalReachesTheBuild() {
    WindowFixture f;
    f.window->setSpaceRemoval(true);
    buildText(f, QStringLiteral("&P=HL2\nPRINT 1"));
    const qint64 withoutSpaces = QFileInfo(f.path("Exports/Compiled_HL2.htp")).size();
    f.window->setSpaceRemoval(false);
    f.action("COMPILE1")->trigger();
    QCOMPARE(QFileInfo(f.path("Exports/Compiled_HL2.htp")).size(), withoutSpaces + 1);
}

void BuildCommandTest::namedProjectIsSavedFirst() {
    WindowFixture f;
    const QString file = f.path("Projects/named.lpj");
    f.dialogs.saveAnswers = {file};
    buildText(f, QStringLiteral("&P=BASIC\nEND"));
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("&P=BASIC\r\nEND\r\n"));
    QVERIFY(f.window->isSaved());
    QVERIFY(QFile::exists(f.path("Exports/Compiled_BASIC.bas")));
    f.setText(QStringLiteral("&P=BASIC\nCLS"));
    f.action("COMPILE1")->trigger();
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("&P=BASIC\r\nCLS\r\n"));
    QCOMPARE(f.dialogs.saveProposedNames.size(), 1);
}

void BuildCommandTest::failedSaveStopsTheBuild() {
    WindowFixture f;
    const QString file = f.path("Projects/gone.lpj");
    f.dialogs.saveAnswers = {file};
    f.setText(QStringLiteral("&P=HL2"));
    QVERIFY(f.window->SaveAS());
    QVERIFY(QDir(f.path("Projects")).removeRecursively());
    WindowFixture::writeBytes(f.path("Projects"), "not a folder");
    f.setText(QStringLiteral("&P=BASIC"));
    f.action("COMPILE1")->trigger();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(QDir(f.path("Exports")).isEmpty());
    QVERIFY(!f.editor()->isHidden());
}

// F12 saved first whatever the file on disk held, so a change another
// program had made to it was lost; then it built the old text without a
// word, though no edit of the window's was at stake.
void BuildCommandTest::buildKeepsAFileAnotherProgramChanged() {
    WindowFixture f;
    const QString file = f.path("Projects/shared.lpj");
    const QString output = f.path("Exports/Compiled_BASIC.bas");
    WindowFixture::writeBytes(file, "&P=BASIC\r\nPRINT 1\r\n");
    f.open(file);
    WindowFixture::writeBytes(file, "&P=BASIC\r\nPRINT 22\r\n");
    f.action("COMPILE1")->trigger();  // saved project: the file's new text is loaded and built
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("&P=BASIC\r\nPRINT 22\r\n"));
    QVERIFY(WindowFixture::readBytes(output).contains("PRINT 22"));
    QCOMPARE(f.line(1), QStringLiteral("PRINT 22"));
    QCOMPARE(f.dialogs.changedFileQuestions, 0);

    QVERIFY(QFile::remove(file));  // a missing file is written again
    f.action("COMPILE1")->trigger();
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("&P=BASIC\r\nPRINT 22\r\n"));

    f.setText(QStringLiteral("&P=BASIC\nPRINT 3"));
    WindowFixture::writeBytes(file, "&P=BASIC\r\nPRINT 44\r\n");
    QVERIFY(QFile::remove(output));
    f.dialogs.changedFileAnswers = {lintrel::Dialogs::ChangedFileAnswer::Cancel};
    f.action("COMPILE1")->trigger();  // Cancel stops the save and the build
    QCOMPARE(f.dialogs.changedFileQuestions, 1);
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("&P=BASIC\r\nPRINT 44\r\n"));
    QVERIFY(!QFile::exists(output));
    QCOMPARE(f.line(1), QStringLiteral("PRINT 3"));

    f.dialogs.changedFileAnswers = {lintrel::Dialogs::ChangedFileAnswer::Reload};
    f.action("COMPILE1")->trigger();  // Reload: the disk version is loaded and built
    QCOMPARE(f.line(1), QStringLiteral("PRINT 44"));
    QVERIFY(f.window->isSaved());
    QVERIFY(WindowFixture::readBytes(output).contains("PRINT 44"));
    QCOMPARE(f.dialogs.errors, QStringList());
}

void BuildCommandTest::unsavableCharacterStopsTheBuild() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=BASIC\nPRINT \"%1\"").arg(QChar(0x263A)));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY2(f.dialogs.errors[0].contains(QStringLiteral("U+263A")), qPrintable(f.dialogs.errors[0]));
    QVERIFY(QDir(f.path("Exports")).isEmpty());
}

void BuildCommandTest::missingExportsFolderIsReported() {
    WindowFixture f;
    QVERIFY(QDir(f.path("Exports")).removeRecursively());
    const QString marker = f.path("started");
    buildText(f, QStringLiteral("&E=touch '%1'\n&P=HL2").arg(marker));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY2(f.dialogs.errors[0].contains(QStringLiteral("Compiled_HL2.htp")), qPrintable(f.dialogs.errors[0]));
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.dialogs.commandsAsked, QStringList());
    QVERIFY(!f.editor()->isHidden());
    QTest::qWait(300);
    QVERIFY(!QFile::exists(marker));
}

void BuildCommandTest::emulatorStartsAfterTheReport() {
    WindowFixture f;
    const QString marker = f.path("started");
    bool startedBeforeTheReportClosed = false;
    f.dialogs.whileMessageShown = [&] {
        QTest::qWait(500);  // time enough for a process started too early
        startedBeforeTheReportClosed = QFile::exists(marker);
    };
    f.dialogs.commandAnswers = {{true, false}};
    buildText(f, QStringLiteral("&P=PRIMO\n&E=touch '%1'").arg(marker));
    QCOMPARE(f.dialogs.errors, QStringList());
    QVERIFY(!startedBeforeTheReportClosed);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
}

// F12 on a project from elsewhere ran whatever its "&E=" said.
void BuildCommandTest::emulatorCommandRunsOnlyWhenApproved() {
    WindowFixture f;
    const QString marker = f.path("started");
    const QString command = QStringLiteral("touch '%1'").arg(marker);
    const QString options = f.path("Options.ini");
    auto buildWith = [&](const QString& emulator) {
        f.setText("&P=PRIMO\nPRINT 1\n&E=" + emulator);
        f.action("COMPILE1")->trigger();
    };

    buildWith(command);  // Don't run: still built and written
    QCOMPARE(f.dialogs.commandsAsked, QStringList({command}));
    QVERIFY(QFile::exists(f.path("Exports/Compiled_PRIMO.pri")));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QTest::qWait(300);
    QVERIFY(!QFile::exists(marker));

    f.dialogs.commandAnswers = {{true, false}};  // Run, this once
    buildWith(command);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    QVERIFY(QFile::remove(marker));
    QVERIFY(!QFile::exists(options));
    buildWith(command);  // asked again
    QCOMPARE(f.dialogs.commandsAsked.size(), 3);

    f.dialogs.commandAnswers = {{true, true}};  // Run, always
    buildWith(command);
    QCOMPARE(f.dialogs.commandsAsked.size(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    QVERIFY(QFile::remove(marker));
    QVERIFY2(WindowFixture::readBytes(options).contains(("Approved_Emulator_Command_1=\"" + command + "\"\r\n").toUtf8()),
             WindowFixture::readBytes(options).constData());
    buildWith(command);  // remembered: runs without a question
    QCOMPARE(f.dialogs.commandsAsked.size(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);

    buildWith(command + " && true");  // any other text is asked about
    QCOMPARE(f.dialogs.commandsAsked.size(), 5);
    QCOMPARE(f.dialogs.commandsAsked.last(), command + " && true");
}

void BuildCommandTest::commandQuestionShowsHiddenCharacters() {
    WindowFixture f;
    buildText(f, QStringLiteral("&P=PRIMO\n&E=echo %1[2J%2x").arg(QChar(0x1B), QChar(0x00AD)));
    QCOMPARE(f.dialogs.commandsAsked, QStringList({"echo \\x1b[2J\\xadx"}));
}

QTEST_MAIN(BuildCommandTest)
#include "build_command_test.moc"
