// The open file follows the disk (reloaded when nothing of the window's is
// at stake, asked about when it is, a deletion reported), and "&E=" runs in
// the folder that holds Exports/ with the written file's path at hand.
#include <QDir>
#include <QStatusBar>
#include <QTest>

#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;
using DiskChangeAnswer = lintrel::Dialogs::DiskChangeAnswer;

namespace {

// Another program writes the file: new bytes and a newer time.
void writeAsAnotherProgram(const QString& path, const QByteArray& bytes) {
    QTest::qWait(20);  // a modification time of its own
    WindowFixture::writeBytes(path, bytes);
}

QString project(WindowFixture& f, const QByteArray& text) {
    const QString path = f.path("Projects/watched.lpj");
    WindowFixture::writeBytes(path, text);
    f.open(path);
    return path;
}

}  // namespace

class DiskAndEmulatorTest : public QObject {
    Q_OBJECT
private slots:
    void unchangedProjectFollowsTheDisk();
    void unsavedEditsAskAtOnce_data();
    void unsavedEditsAskAtOnce();
    void deletedFileIsReported();
    void ownSaveIsNoChange();
    void emulatorRunsBesideExportsWithTheFilePath();
};

// Another editor changed the file; F12 built the old text, asking nothing.
void DiskAndEmulatorTest::unchangedProjectFollowsTheDisk() {
    WindowFixture f;
    const QString path = project(f, "A\r\nB\r\nC\r\nD\r\n");
    QTextCursor caret(f.editor()->document()->findBlockByNumber(2));
    f.editor()->setTextCursor(caret);
    writeAsAnotherProgram(path, "A\r\nB\r\nNEW C\r\nD\r\nE\r\n");
    QTRY_COMPARE(f.line(2), QStringLiteral("NEW C"));
    QCOMPARE(f.editor()->textCursor().blockNumber(), 2);  // the caret keeps its line
    QVERIFY(f.window->isSaved());
    QCOMPARE(f.dialogs.diskChanges, QStringList());
    QVERIFY2(f.window->statusBar()->currentMessage().contains(QStringLiteral("reloaded")),
             qPrintable(f.window->statusBar()->currentMessage()));
}

void DiskAndEmulatorTest::unsavedEditsAskAtOnce_data() {
    QTest::addColumn<bool>("reload");
    QTest::newRow("Reload it") << true;
    QTest::newRow("Keep mine") << false;
}

void DiskAndEmulatorTest::unsavedEditsAskAtOnce() {
    QFETCH(bool, reload);
    WindowFixture f;
    const QString path = project(f, "OLD\r\n");
    f.setText(QStringLiteral("MINE"));
    f.dialogs.diskChangeAnswers = {reload ? DiskChangeAnswer::Reload : DiskChangeAnswer::Keep};
    writeAsAnotherProgram(path, "THEIRS\r\n");
    QTRY_COMPARE(f.dialogs.diskChanges.size(), 1);
    QVERIFY(f.dialogs.diskChanges[0].contains(QStringLiteral("watched.lpj")));
    QCOMPARE(f.line(0), reload ? QStringLiteral("THEIRS") : QStringLiteral("MINE"));
    QCOMPARE(f.window->isSaved(), reload);
    QTest::qWait(200);  // the same change is asked about once
    QCOMPARE(f.dialogs.diskChanges.size(), 1);
    if (reload) return;
    // The next save still knows the file changed under it.
    f.dialogs.changedFileAnswers = {Dialogs::ChangedFileAnswer::Overwrite};
    QVERIFY(f.window->Save());
    QCOMPARE(f.dialogs.changedFileQuestions, 1);
    QCOMPARE(WindowFixture::readBytes(path), QByteArray("MINE\r\n"));
}

void DiskAndEmulatorTest::deletedFileIsReported() {
    WindowFixture f;
    const QString path = project(f, "KEEP\r\n");
    QVERIFY(QFile::rename(path, f.path("Projects/moved.lpj")));
    QTRY_VERIFY(!f.window->isSaved());  // the text is now only in the window
    QCOMPARE(f.line(0), QStringLiteral("KEEP"));
    QVERIFY2(f.window->statusBar()->currentMessage().contains(QStringLiteral("deleted or renamed")),
             qPrintable(f.window->statusBar()->currentMessage()));
    QVERIFY(f.window->Save());
    QCOMPARE(WindowFixture::readBytes(path), QByteArray("KEEP\r\n"));
}

void DiskAndEmulatorTest::ownSaveIsNoChange() {
    WindowFixture f;
    const QString path = project(f, "ONE\r\n");
    f.setText(QStringLiteral("TWO"));
    QVERIFY(f.window->Save());
    f.setText(QStringLiteral("THREE"));
    QTest::qWait(300);
    QCOMPARE(f.dialogs.diskChanges, QStringList());
    QCOMPARE(f.line(0), QStringLiteral("THREE"));
    QVERIFY(!f.window->isSaved());
    writeAsAnotherProgram(path, "FOUR\r\n");  // still watched after the save replaced the file
    QTRY_COMPARE(f.dialogs.diskChanges.size(), 1);
}

// The manual's own "&E=myemulator Exports/Compiled_HT.cas" worked only when
// Lintrel was started from its folder.
void DiskAndEmulatorTest::emulatorRunsBesideExportsWithTheFilePath() {
    WindowFixture f;
    QDir::setCurrent(QDir::tempPath());
    const QString marker = f.path("ran");
    f.dialogs.commandAnswers = {{true, false}};
    f.setText(QStringLiteral("&P=HT\nPRINT 1\n&E=ls Exports/Compiled_HT.cas > '%1'; printf '%s' %FILE% >> '%1'")
                  .arg(marker));
    f.action("COMPILE1")->trigger();
    const QString written = QDir(f.path("Exports")).absoluteFilePath(QStringLiteral("Compiled_HT.cas"));
    QCOMPARE(f.dialogs.commandsAsked.size(), 1);
    QVERIFY2(f.dialogs.commandsAsked[0].contains("'" + written + "'"), qPrintable(f.dialogs.commandsAsked[0]));
    QTRY_VERIFY_WITH_TIMEOUT(WindowFixture::readBytes(marker).endsWith(written.toUtf8()), 5000);
    QVERIFY(WindowFixture::readBytes(marker).startsWith("Exports/Compiled_HT.cas\n"));
}

QTEST_MAIN(DiskAndEmulatorTest)
#include "disk_and_emulator_test.moc"
