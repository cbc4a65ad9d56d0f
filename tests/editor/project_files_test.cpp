// New, Open, Save and Save As: the saved flag, the panels, Save's enabled
// state and what reaches the disk.
#include <sys/stat.h>

#include <QLabel>
#include <QTest>
#include <array>

#include "text/code_page_1250.h"
#include "editor/project_codec.h"
#include "editor/project_files.h"
#include "system/install_layout.h"
#include "window_fixture.h"

using lintrel::testing::WindowFixture;
using ChangedFileAnswer = lintrel::Dialogs::ChangedFileAnswer;

namespace {

const QString kUnsavedQuestion = QStringLiteral("The project is not saved. Are you sure?");

// Every byte value; CR and LF only as CR LF line breaks.
QByteArray allByteValues() {
    QByteArray bytes;
    for (int value = 0; value < 256; ++value) {
        if (value == '\n' || value == '\r') continue;
        bytes += static_cast<char>(value);
        if (value % 64 == 63) bytes += "\r\n";
    }
    return bytes;
}

// Project commands on a bare editor, with their own open limits.
struct BareProject {
    QTemporaryDir folder;
    lintrel::testing::ScriptedDialogs dialogs;
    QWidget window;
    QPlainTextEdit* editor = new QPlainTextEdit(&window);
    QAction save{&window};
    std::array<QLabel, 4> panels;
    lintrel::Workspace workspace;
    std::unique_ptr<lintrel::ProjectFiles> files;

    explicit BareProject(lintrel::OpenLimits limits) {
        workspace.window = &window;
        workspace.editor = editor;
        workspace.save = &save;
        workspace.dialogs = &dialogs;
        workspace.folders = lintrel::ProgramFolders::from(lintrel::portableLayout(folder.path().toStdString()));
        for (std::size_t i = 0; i < panels.size(); ++i) workspace.panels[i] = &panels[i];
        files = std::make_unique<lintrel::ProjectFiles>(workspace, limits);
        QObject::connect(editor, &QPlainTextEdit::textChanged, [this] { files->markChanged(); });
        files->setSaved(true);
        files->NewProject();
    }
};

// Another program writes the file; its time moves on by a second, as a
// write a while later would leave it.
void writeAsAnotherProgram(const QString& path, const QByteArray& bytes) {
    const QDateTime before = QFileInfo(path).lastModified();
    WindowFixture::writeBytes(path, bytes);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime));
}

}  // namespace

class ProjectFilesTest : public QObject {
    Q_OBJECT
private slots:
    void newProjectHoldsTheTemplate();
    void newAsksOnlyWhenUnsaved();
    void openLoadsAndCountsAsSaved();
    void openOfAMissingFile();
    void importMakesANewUnsavedProject();
    void importOfAListingAsksForTheMachineAndOffersLeniency();
    void editingMarksUnsavedAndColouringDoesNot();
    void saveAsWritesAndEnablesSave();
    void saveAsOverwriteQuestion();
    void saveAsCancelledChangesNothing();
    void everyByteValueSurvivesLoadAndSave();
    void projectBytesSplitAsTheBuildSplitsThem();
    void unsavableCharacterIsRefused();
    void failedWriteKeepsOldFileAndUnsavedState();
    void failedSaveAsKeepsTheProjectWithoutFile();
    void yesThenCancelOnOpenKeepsTheTextUnsaved();
    void saveOverAFileChangedByAnotherProgramAsks_data();
    void saveOverAFileChangedByAnotherProgramAsks();
    void sameSizeChangeIsNoticedAndATouchIsNot();
    void openReadsOnlyRegularFiles_data();
    void openReadsOnlyRegularFiles();
    void openRefusesProjectsOver256MB();
    void openAsksBeforeAProjectOver20MB();
    void largeProjectLoadsWithProgress();
    void cancelledLoadKeepsTheOldText();
    void plainTextFileIsSavedBackInPlace();
};

void ProjectFilesTest::newProjectHoldsTheTemplate() {
    WindowFixture f;
    QCOMPARE(f.editor()->document()->blockCount(), 4);
    QCOMPARE(f.line(0), QStringLiteral("&P=BASIC"));
    QCOMPARE(f.line(1), QStringLiteral("&C=10"));
    QCOMPARE(f.line(2), QStringLiteral("&I=10"));
    QCOMPARE(f.line(3), QStringLiteral("\t"));
    QVERIFY(f.window->isSaved());
    QVERIFY(f.action("Save1")->isEnabled());  // it opens Save As
    QCOMPARE(f.window->statusText(2), QString());
    QCOMPARE(f.window->statusText(3), QString());
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QVERIFY(f.editor()->isVisibleTo(f.window.get()));
}

void ProjectFilesTest::newAsksOnlyWhenUnsaved() {
    WindowFixture f;
    f.window->NewProject();
    QCOMPARE(f.dialogs.questions, QStringList());
    f.setText(QStringLiteral("PRINT 1"));
    f.window->NewProject();  // answered No
    QCOMPARE(f.dialogs.questions, QStringList({kUnsavedQuestion}));
    QCOMPARE(f.line(0), QStringLiteral("PRINT 1"));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    f.dialogs.dismissals = 1;  // closed without an answer: like No
    f.window->NewProject();
    QCOMPARE(f.line(0), QStringLiteral("PRINT 1"));
    QVERIFY(!f.window->isSaved());
    f.dialogs.yesNoAnswers = {true};
    f.window->NewProject();
    QCOMPARE(f.line(0), QStringLiteral("&P=BASIC"));
    QVERIFY(f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QString());
}

void ProjectFilesTest::openLoadsAndCountsAsSaved() {
    WindowFixture f;
    const QString file = f.path("Projects/game.lpj");
    WindowFixture::writeBytes(file, "&P=HL2\r\nPRINT \"A\"\r\nEND");
    f.open(file);
    QCOMPARE(f.dialogs.openStartFolders, QStringList({f.path("Projects")}));
    QCOMPARE(f.editor()->document()->blockCount(), 3);
    QCOMPARE(f.line(2), QStringLiteral("END"));
    QVERIFY(f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    QCOMPARE(f.window->statusText(3), file);
    QCOMPARE(f.window->projectPath(), file);
    QVERIFY(f.action("Save1")->isEnabled());
    QCOMPARE(f.dialogs.errors, QStringList());
}

// An image names its platform; a listing takes the current project's, and a
// damaged file leaves the text as it was, with the fault named.
void ProjectFilesTest::importMakesANewUnsavedProject() {
    WindowFixture f;
    const QString image = f.path("Projects/game.pri");
    WindowFixture::writeBytes(image, QByteArray("\xD1\x00\x00\x0A\x00\xF2\x43\x0A\x00\x8D\x31\x30\x00\x00\x00\xC9", 16));
    f.dialogs.openAnswers.push_back(image);
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.errors, QStringList());
    QVERIFY(f.editor()->toPlainText().contains(QStringLiteral("&P=PRIMO\n")));
    QVERIFY(f.editor()->toPlainText().contains(QStringLiteral("\\l10\tGOTO\\l10")));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));

    const QString listing = f.path("Projects/prog.bas");
    WindowFixture::writeBytes(listing, "10 PRINT \"HI\"\r\n20 GOTO 10\r\n");
    f.setText(QStringLiteral("&P=HT\n"));
    f.dialogs.yesNoAnswers = {true};
    f.dialogs.openAnswers.push_back(listing);
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.questions.last(), kUnsavedQuestion);
    QVERIFY(f.editor()->toPlainText().contains(QStringLiteral("&P=HT\n")));
    QVERIFY(f.editor()->toPlainText().contains(QStringLiteral("GOTO \\l10")));

    WindowFixture::writeBytes(image, QByteArray("\xD1\x00\x00\x0A\x00\xF2\x43\x0A\x00\x8D\x31\x30\x00\x00\x00\x00", 16));
    const QString before = f.editor()->toPlainText();
    f.dialogs.yesNoAnswers = {true};
    f.dialogs.openAnswers.push_back(image);
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].contains(QStringLiteral("offset 15 (000F)")));
    QCOMPARE(f.editor()->toPlainText(), before);
}

// After File > New a listing's machine is asked for, the last choice first;
// a listing out of order may come in leniently, its changes listed; Save As
// proposes the imported file's name.
void ProjectFilesTest::importOfAListingAsksForTheMachineAndOffersLeniency() {
    WindowFixture f;
    const QString listing = f.path("Projects/prog.bas");
    WindowFixture::writeBytes(listing, "20 PRINT \"HI\"\r\n10 GOTO 20\r\n");
    if (!f.window->isSaved()) f.dialogs.yesNoAnswers.push_back(true);
    f.action("New1")->trigger();
    f.dialogs.openAnswers.push_back(listing);
    f.dialogs.itemAnswers.push_back(QStringLiteral("HT"));
    f.dialogs.yesNoAnswers.push_back(true);  // leniently
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.itemsOffered.size(), 1);
    QCOMPARE(f.dialogs.itemsOffered[0].first(), QStringLiteral("ABC80"));
    QVERIFY(f.dialogs.itemsOffered[0].contains(QStringLiteral("HT")));
    QVERIFY(f.dialogs.questions.last().contains(QStringLiteral("Line 10 comes after line 20.")));
    QVERIFY(f.dialogs.questions.last().contains(QStringLiteral("leniently")));
    QCOMPARE(f.dialogs.errors, QStringList());
    QVERIFY(f.editor()->toPlainText().contains(QStringLiteral("&P=HT\n")));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].contains(QStringLiteral("the lines are put in order")));

    f.action("SaveAS1")->trigger();
    QCOMPARE(f.dialogs.saveProposedNames.last(), QStringLiteral("prog.lpj"));

    // The imported project names HT, so the next listing is read for HT;
    // after New the last choice comes first. Declined leniency: the error.
    f.dialogs.yesNoAnswers = {true, false};
    f.action("New1")->trigger();
    f.dialogs.openAnswers.push_back(listing);
    f.dialogs.itemAnswers.push_back(QStringLiteral("HT"));
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.itemsOffered.size(), 2);
    QCOMPARE(f.dialogs.itemsOffered[1].first(), QStringLiteral("HT"));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].contains(QStringLiteral("Line 10 comes after line 20.")));

    // Cancelled: nothing happens.
    f.dialogs.openAnswers.push_back(listing);
    f.action("Import1")->trigger();
    QCOMPARE(f.dialogs.errors.size(), 1);
}

void ProjectFilesTest::openOfAMissingFile() {
    WindowFixture f;
    f.setText(QStringLiteral("KEEP"));
    f.dialogs.yesNoAnswers = {true};
    f.open(f.path("Projects/missing.lpj"));
    QCOMPARE(f.dialogs.errors, QStringList({"File does not exist."}));
    QCOMPARE(f.line(0), QStringLiteral("KEEP"));
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QVERIFY(f.action("Save1")->isEnabled());  // it opens Save As
    // Nothing replaced the text: it still needs saving.
    QVERIFY(!f.window->isSaved());
}

void ProjectFilesTest::editingMarksUnsavedAndColouringDoesNot() {
    WindowFixture f;
    const QString file = f.path("Projects/colours.lpj");
    QByteArray many;
    for (int i = 0; i < 200; ++i) many += "\\l" + QByteArray::number(i) + " PRINT \"X|Y\" {41} &C=" + QByteArray::number(i) + "\r\n";
    WindowFixture::writeBytes(file, many);
    f.open(file);
    QCoreApplication::processEvents();  // any deferred colouring runs here
    QVERIFY(f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    // The lines are coloured: the label at the start is blue.
    const auto formats = f.editor()->document()->findBlockByNumber(199).layout()->formats();
    QVERIFY(!formats.isEmpty());
    QCOMPARE(formats.first().format.foreground().color(), QColor(0, 0, 255));
    QTextCursor cursor(f.editor()->document());
    cursor.insertText(QStringLiteral("X"));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QVERIFY(f.window->Save());
    QVERIFY(f.window->isSaved());
    QCOMPARE(WindowFixture::readBytes(file), "X" + many);
}

void ProjectFilesTest::saveAsWritesAndEnablesSave() {
    WindowFixture f;
    f.setText(QStringLiteral("PRINT 1\nEND"));
    const QString file = f.path("Projects/new.lpj");
    f.dialogs.saveAnswers = {file};
    QVERIFY(f.window->SaveAS());
    QCOMPARE(f.dialogs.saveStartFolders, QStringList({f.path("Projects")}));
    QCOMPARE(f.dialogs.saveProposedNames, QStringList({"Unnamed"}));
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("PRINT 1\r\nEND\r\n"));
    QVERIFY(f.window->isSaved());
    QVERIFY(f.action("Save1")->isEnabled());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    QCOMPARE(f.window->statusText(3), file);
    // Ctrl+S now writes to the same file without asking.
    f.setText(QStringLiteral("CLS"));
    f.action("Save1")->trigger();
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("CLS\r\n"));
    QCOMPARE(f.dialogs.saveProposedNames.size(), 1);
    // Save As proposes the current path next time.
    f.window->SaveAS();
    QCOMPARE(f.dialogs.saveProposedNames.last(), file);
}

void ProjectFilesTest::saveAsOverwriteQuestion() {
    WindowFixture f;
    const QString old = f.path("Projects/old.lpj");
    const QString other = f.path("Projects/other.lpj");
    WindowFixture::writeBytes(other, "OTHER\r\n");
    f.dialogs.saveAnswers = {old};
    QVERIFY(f.window->SaveAS());
    f.setText(QStringLiteral("NEW"));
    f.dialogs.saveAnswers = {other};
    QVERIFY(!f.window->SaveAS());  // No to the question
    QCOMPARE(f.dialogs.questions, QStringList({"File already exists. Overwrite?"}));
    QCOMPARE(WindowFixture::readBytes(other), QByteArray("OTHER\r\n"));
    QCOMPARE(f.window->projectPath(), old);
    QVERIFY(!f.window->isSaved());
    QVERIFY(f.window->Save());  // still the old file
    QCOMPARE(WindowFixture::readBytes(old), QByteArray("NEW\r\n"));
    f.dialogs.saveAnswers = {other};
    f.dialogs.yesNoAnswers = {true};
    QVERIFY(f.window->SaveAS());
    QCOMPARE(WindowFixture::readBytes(other), QByteArray("NEW\r\n"));
    QCOMPARE(f.window->projectPath(), other);
}

void ProjectFilesTest::saveAsCancelledChangesNothing() {
    WindowFixture f;
    f.setText(QStringLiteral("A"));
    QVERIFY(!f.window->SaveAS());
    QVERIFY(!f.window->Save());  // unnamed: Save runs Save As, cancelled again
    QCOMPARE(f.dialogs.saveProposedNames.size(), 2);
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QCOMPARE(f.window->statusText(3), QString());
}

void ProjectFilesTest::everyByteValueSurvivesLoadAndSave() {
    WindowFixture f;
    const QString file = f.path("Projects/bytes.lpj");
    const QByteArray original = allByteValues();
    WindowFixture::writeBytes(file, original);
    f.open(file);
    QCOMPARE(f.editor()->document()->blockCount(), 4);
    // A0 is a no-break space in the editor, not a blank.
    QVERIFY(f.line(2).contains(QChar(0x00A0)));
    QTextCursor cursor(f.editor()->document());
    cursor.insertText(QStringLiteral("X"));  // an edit and its undoing, so Save really writes
    cursor.deletePreviousChar();
    QVERIFY(!f.window->isSaved());
    QVERIFY(f.window->Save());
    QCOMPARE(WindowFixture::readBytes(file).toHex(' '), original.toHex(' '));
    // A line break typed at the end is an empty last line, kept as such.
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n"));
    QVERIFY(f.window->Save());
    QCOMPARE(WindowFixture::readBytes(file).toHex(' '), (original + "\r\n").toHex(' '));
    f.open(file);
    QCOMPARE(f.editor()->document()->blockCount(), 5);
}

// The window shows the lines the build reads from the same bytes.
void ProjectFilesTest::projectBytesSplitAsTheBuildSplitsThem() {
    const QList<QByteArray> inputs = {"", "\r\n", "A", "A\r", "A\r\r\n", "\n\n", "A\r\nB", "\rX\n\rY", "A\n\r\n",
                                      QByteArray("\x80\xA0\xFF\x00\r\n", 5)};
    for (const QByteArray& bytes : inputs) {
        const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        QStringList lines;
        for (const std::string& line : lintrel::splitProjectLines(view)) lines << lintrel::textFromCodePage1250(line);
        QCOMPARE(lintrel::textFromProjectBytes(view), lines.join(QLatin1Char('\n')));
    }
}

void ProjectFilesTest::unsavableCharacterIsRefused() {
    WindowFixture f;
    const QString file = f.path("Projects/greek.lpj");
    WindowFixture::writeBytes(file, "OLD\r\n");
    f.open(file);
    f.setText(QStringLiteral("PRINT 1\nPRINT \"%1\"").arg(QChar(0x03A9)));
    QVERIFY(!f.window->Save());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY2(f.dialogs.errors[0].contains(QStringLiteral("\"%1\" (U+03A9)").arg(QChar(0x03A9))), qPrintable(f.dialogs.errors[0]));
    QVERIFY2(f.dialogs.errors[0].contains(QStringLiteral("line 2")), qPrintable(f.dialogs.errors[0]));
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("OLD\r\n"));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    // A character outside the 16-bit range is named whole.
    f.setText(QString::fromUcs4(U"X\U0001F600"));
    QVERIFY(!f.window->Save());
    QVERIFY2(f.dialogs.errors.last().contains(QStringLiteral("U+1F600")), qPrintable(f.dialogs.errors.last()));
}

void ProjectFilesTest::failedWriteKeepsOldFileAndUnsavedState() {
    WindowFixture f;
    const QString file = f.path("Projects/locked.lpj");
    WindowFixture::writeBytes(file, "OLD\r\n");
    f.open(file);
    f.setText(QStringLiteral("NEW"));
    // Tests may run as root, which ignores permissions: take the folder away
    // and put a plain file in its place.
    QVERIFY(QDir(f.path("Projects")).removeRecursively());
    WindowFixture::writeBytes(f.path("Projects"), "not a folder");
    QVERIFY(!f.window->Save());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY2(f.dialogs.errors[0].contains(file), qPrintable(f.dialogs.errors[0]));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QCOMPARE(f.window->projectPath(), file);
}

void ProjectFilesTest::failedSaveAsKeepsTheProjectWithoutFile() {
    WindowFixture f;
    f.setText(QStringLiteral("NEW"));
    const QString folder = f.path("Projects/folder.lpj");  // a folder where the file should go
    QVERIFY(QDir().mkpath(folder));
    WindowFixture::writeBytes(folder + "/inside.txt", "OLD");
    f.dialogs.saveAnswers = {folder};
    f.dialogs.yesNoAnswers = {true};
    QVERIFY(!f.window->SaveAS());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(WindowFixture::readBytes(folder + "/inside.txt"), QByteArray("OLD"));
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QVERIFY(f.action("Save1")->isEnabled());  // it opens Save As
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(3), QString());
}

// Yes, then Cancel, made the text count as saved: the next New, Open or
// close dropped it without asking.
void ProjectFilesTest::yesThenCancelOnOpenKeepsTheTextUnsaved() {
    WindowFixture f;
    f.setText(QStringLiteral("WORK"));
    f.dialogs.yesNoAnswers = {true};
    f.window->BitBtnLOADClick();  // the open dialog is cancelled
    QCOMPARE(f.line(0), QStringLiteral("WORK"));
    QVERIFY(!f.window->isSaved());
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    f.window->NewProject();  // asked again; No
    QCOMPARE(f.dialogs.questions.size(), 2);
    QCOMPARE(f.line(0), QStringLiteral("WORK"));
}

void ProjectFilesTest::saveOverAFileChangedByAnotherProgramAsks_data() {
    QTest::addColumn<ChangedFileAnswer>("answer");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<QString>("inEditor");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Overwrite") << ChangedFileAnswer::Overwrite << true << QByteArray("MINE\r\n") << "MINE" << true;
    QTest::newRow("Reload it") << ChangedFileAnswer::Reload << false << QByteArray("THEIRS\r\n") << "THEIRS" << true;
    QTest::newRow("Cancel") << ChangedFileAnswer::Cancel << false << QByteArray("THEIRS\r\n") << "MINE" << false;
}

// Save wrote over the other program's change without a word.
void ProjectFilesTest::saveOverAFileChangedByAnotherProgramAsks() {
    QFETCH(ChangedFileAnswer, answer);
    QFETCH(bool, written);
    QFETCH(QByteArray, onDisk);
    QFETCH(QString, inEditor);
    QFETCH(bool, saved);
    WindowFixture f;
    const QString file = f.path("Projects/shared.lpj");
    WindowFixture::writeBytes(file, "OLD\r\n");
    f.open(file);
    f.setText(QStringLiteral("MINE"));
    writeAsAnotherProgram(file, "THEIRS\r\n");
    f.dialogs.changedFileAnswers = {answer};
    QCOMPARE(f.window->Save(), written);
    QCOMPARE(f.dialogs.changedFileQuestions, 1);
    QCOMPARE(WindowFixture::readBytes(file), onDisk);
    QCOMPARE(f.editor()->toPlainText(), inEditor);
    QCOMPARE(f.window->isSaved(), saved);
    QCOMPARE(f.window->statusText(2), saved ? QStringLiteral("Saved") : QStringLiteral("Unsaved"));
    QCOMPARE(f.window->projectPath(), file);
    // Once the file on disk is known again the next save asks nothing; after
    // Cancel it asks again.
    f.setText(QStringLiteral("NEXT"));
    f.dialogs.changedFileAnswers = {ChangedFileAnswer::Overwrite};
    QVERIFY(f.window->Save());
    QCOMPARE(f.dialogs.changedFileQuestions, answer == ChangedFileAnswer::Cancel ? 2 : 1);
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("NEXT\r\n"));
}

void ProjectFilesTest::sameSizeChangeIsNoticedAndATouchIsNot() {
    WindowFixture f;
    const QString file = f.path("Projects/same.lpj");
    WindowFixture::writeBytes(file, "AAAA\r\n");
    f.open(file);
    f.setText(QStringLiteral("MINE"));
    writeAsAnotherProgram(file, "AAAA\r\n");  // touched, same bytes
    QVERIFY(f.window->Save());
    QCOMPARE(f.dialogs.changedFileQuestions, 0);
    f.setText(QStringLiteral("MORE"));
    writeAsAnotherProgram(file, "BBBB\r\n");  // same size, other bytes
    QVERIFY(!f.window->Save());
    QCOMPARE(f.dialogs.changedFileQuestions, 1);
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("BBBB\r\n"));
    // A file that went away is simply written again.
    QVERIFY(QFile::remove(file));
    QVERIFY(f.window->Save());
    QCOMPARE(f.dialogs.changedFileQuestions, 1);
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("MORE\r\n"));
}

void ProjectFilesTest::openReadsOnlyRegularFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("device") << "/dev/zero";
    QTest::newRow("folder") << "folder";
}

// A FIFO hung the window and /dev/zero filled the memory.
void ProjectFilesTest::openReadsOnlyRegularFiles() {
    QFETCH(QString, kind);
    WindowFixture f;
    QString path = kind;
    if (kind == "fifo") {
        path = f.path("Projects/pipe.lpj");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        path = f.path("Projects/folder.lpj");
        QVERIFY(QDir().mkpath(path));
    }
    f.setText(QStringLiteral("KEEP"));
    f.dialogs.yesNoAnswers = {true};
    f.open(path);
    QCOMPARE(f.dialogs.errors, QStringList({QStringLiteral("Cannot open \"%1\": it is not a regular file.").arg(path)}));
    QCOMPARE(f.line(0), QStringLiteral("KEEP"));
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
    QVERIFY(!f.window->isSaved());
}

void ProjectFilesTest::openRefusesProjectsOver256MB() {
    WindowFixture f;
    const QString path = f.path("Projects/huge.lpj");
    QFile huge(path);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(300LL * 1024 * 1024));  // sparse: nothing is written
    huge.close();
    f.open(path);
    QCOMPARE(f.dialogs.errors,
             QStringList({QStringLiteral("Cannot open \"%1\": the project is 300.0 MB (314572800 bytes); projects over "
                                         "256 MB are not opened.").arg(path)}));
    QCOMPARE(f.dialogs.questions, QStringList());
    QCOMPARE(f.line(0), QStringLiteral("&P=BASIC"));
}

void ProjectFilesTest::openAsksBeforeAProjectOver20MB() {
    WindowFixture f;
    const QString path = f.path("Projects/large.lpj");
    QFile large(path);
    QVERIFY(large.open(QIODevice::WriteOnly));
    QVERIFY(large.resize(21LL * 1024 * 1024));
    large.close();
    f.open(path);  // answered No
    QCOMPARE(f.dialogs.questions,
             QStringList({QStringLiteral("The project \"%1\" is 21.0 MB and takes a while to open. Open it?").arg(path)}));
    QCOMPARE(f.dialogs.errors, QStringList());
    QCOMPARE(f.dialogs.progress, QList<int>());
    QCOMPARE(f.line(0), QStringLiteral("&P=BASIC"));
    QCOMPARE(f.window->projectPath(), QStringLiteral("Unnamed"));
}

// Above the limit the text goes in by parts, the progress shown between them.
void ProjectFilesTest::largeProjectLoadsWithProgress() {
    BareProject bare(lintrel::OpenLimits{1024 * 1024, 8 * 1024 * 1024});
    const QString path = bare.folder.filePath("big.lpj");
    QByteArray bytes;
    int lines = 0;
    for (; bytes.size() < 3 * 1024 * 1024; ++lines) bytes += "PRINT \"LINE " + QByteArray::number(lines) + "\"\r\n";
    WindowFixture::writeBytes(path, bytes);
    bare.dialogs.yesNoAnswers = {true};
    bare.dialogs.openAnswers = {path};
    bare.files->BitBtnLOADClick();
    QCOMPARE(bare.dialogs.questions.size(), 1);
    const QList<int> progress = bare.dialogs.progress;
    QVERIFY2(progress.size() >= 4, qPrintable(QString::number(progress.size())));
    QCOMPARE(progress.first(), 0);
    QCOMPARE(progress.last(), -1);
    QCOMPARE(progress[progress.size() - 2], 100);
    QVERIFY(std::is_sorted(progress.begin(), progress.end() - 1));
    QCOMPARE(bare.editor->document()->blockCount(), lines);
    QCOMPARE(bare.editor->document()->lastBlock().text(), QStringLiteral("PRINT \"LINE %1\"").arg(lines - 1));
    QCOMPARE(bare.editor->textCursor().position(), 0);
    QVERIFY(!bare.editor->document()->isUndoAvailable());
    QVERIFY(bare.files->isSaved());
    QCOMPARE(bare.panels[2].text(), QStringLiteral("Saved"));
    // And back out unchanged.
    bare.editor->insertPlainText("X");
    QVERIFY(bare.files->Save() == lintrel::SaveOutcome::Written);
    QCOMPARE(WindowFixture::readBytes(path), "X" + bytes);
}

// Cancel in the progress window: nothing was opened, the old text is back.
void ProjectFilesTest::cancelledLoadKeepsTheOldText() {
    BareProject bare(lintrel::OpenLimits{1024 * 1024, 8 * 1024 * 1024});
    const QString path = bare.folder.filePath("big.lpj");
    QByteArray bytes;
    while (bytes.size() < 3 * 1024 * 1024) bytes += "PRINT \"LINE\"\r\n";
    WindowFixture::writeBytes(path, bytes);
    bare.editor->setPlainText(QString());
    bare.editor->insertPlainText(QStringLiteral("10 PRINT 1"));
    bare.dialogs.yesNoAnswers = {true, true};  // drop the unsaved text; open the large file
    bare.dialogs.openAnswers = {path};
    bare.dialogs.cancelProgressAt = 1024 * 1024;
    bare.files->BitBtnLOADClick();
    QCOMPARE(bare.dialogs.questions.size(), 2);
    QVERIFY(!bare.dialogs.progress.isEmpty());
    QCOMPARE(bare.dialogs.progress.last(), -1);
    QCOMPARE(bare.editor->toPlainText(), QStringLiteral("10 PRINT 1"));
    QVERIFY(!bare.files->isSaved());
    QVERIFY(bare.files->projectPath() != path);
}

void ProjectFilesTest::plainTextFileIsSavedBackInPlace() {
    WindowFixture f;
    const QString file = f.path("notes.txt");
    WindowFixture::writeBytes(file, "A\nB\rC\r\n");
    f.open(file);
    QCOMPARE(f.editor()->document()->blockCount(), 3);
    QVERIFY(f.window->Save());
    QCOMPARE(WindowFixture::readBytes(file), QByteArray("A\r\nB\r\nC\r\n"));
    QCOMPARE(f.window->projectPath(), file);
}

QTEST_MAIN(ProjectFilesTest)
#include "project_files_test.moc"
