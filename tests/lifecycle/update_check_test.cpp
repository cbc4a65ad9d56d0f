// The version check at start-up against a local HTTP server: only our exact
// version lets start-up go on; anything else downloads the update and ends.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "lifecycle_fixture.h"
#include "local_http_server.h"

Q_DECLARE_METATYPE(lintrel::testing::Answer)

using namespace lintrel;
using namespace lintrel::testing;

namespace {

const QString kUnreachable = "      The server is unavailable or\r\nthere is no internet connection!";
const QString kNewVersion = "      A new version is available.\r\nAn update is required to continue.";
const QString kDownloadError = "   Download error! Try agan.\r\nOr download from a website.";
const QString kDownloading = "Downloading the update...";
const QString kTooLarge =
    "The update is larger than 1 MB, so it was not downloaded.\r\nPlease download it from the website.";
const QString kNotAnArchive =
    "The downloaded update is not a zip archive, so it was not opened.\r\nPlease download it from the website.";
const QByteArray kCheckPath = "/orvet/versioncheck.php";
const QByteArray kArchivePath = "/softwares/lintrel/Lintrel.zip";
const QByteArray kArchive = QByteArray("PK\x03\x04", 4) + QByteArray(5000, '\x5a') + QByteArray("\x00\xff", 2);
const QByteArray kOlderArchive = "an older archive, longer than the new one: " + QByteArray(9000, 'o');

// A run whose Options.ini names the local server.
struct CheckedRun : LifecycleFixture {
    LocalHttpServer server;
    CheckedRun() { writeOptions("[Parameters]\r\nSWVer=v1.0\r\nUpdate_Server=" + server.address().toLatin1() + "\r\n"); }
    QString archive() const { return inCurrent("Lintrel.zip"); }
    // What the current folder holds besides WhatsNew.txt: no temporary file may stay behind.
    QStringList leftInCurrent() const {
        QStringList names = QDir(currentFolder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.removeAll("WhatsNew.txt");
        return names;
    }

    // The program ended before the window was shown and before any setting
    // was read or written.
    void verifyEnded() {
        QVERIFY(!window->isVisible());
        QVERIFY(dialogs.texts.isEmpty());  // no What's new
        QVERIFY(!options().contains("SWVer=v1.7.1b"));
    }
};

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void equalVersionLetsStartUpGoOn() {
        CheckedRun run;
        run.server.answers[kCheckPath] = {200, kVersion.toLatin1()};
        QVERIFY(run.start());
        QVERIFY(run.dialogs.messages.isEmpty());
        QCOMPARE(run.dialogs.texts.size(), 1);  // start-up went on to What's new
        QVERIFY(!QFile::exists(run.archive()));
        QCOMPARE(run.server.requests.size(), 1);
        const RecordedRequest& request = run.server.requests[0];
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.path, kCheckPath);
        QCOMPARE(request.headers.value("accept"), QByteArray("text/html, */*"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    }

    void anyOtherAnswerDownloadsAndOpensTheUpdate_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("older version") << QByteArray("v1.6.0");
        QTest::newRow("other letter case") << kVersion.toUpper().toLatin1();
        QTest::newRow("256 bytes") << "v" + QByteArray(255, 'x');
        QTest::newRow("inner blank doubled") << QByteArray("v1.7.1b  - test version");
    }
    void anyOtherAnswerDownloadsAndOpensTheUpdate() {
        QFETCH(QByteArray, answer);
        CheckedRun run;
        writeFile(run.archive(), kOlderArchive);
        run.server.answers[kCheckPath] = {200, answer};
        run.server.answers[kArchivePath] = {200, kArchive};
        QVERIFY(!run.start());
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, QStringList{kNewVersion});
        QCOMPARE(run.dialogs.progresses, QStringList{kDownloading});
        QCOMPARE(readFile(run.archive()), kArchive);
        QCOMPARE(run.leftInCurrent(), QStringList{"Lintrel.zip"});
        QCOMPARE(run.opened, QList<QUrl>{QUrl::fromLocalFile(run.archive())});
        QCOMPARE(run.server.requests.size(), 2);
        QCOMPARE(run.server.requests[1].path, kArchivePath);
    }

    // The archive is written beside Lintrel.zip and takes its place only when
    // it arrived whole with a success status.
    void failedDownloadKeepsTheOldArchiveAndOpensNothing_data() {
        QTest::addColumn<Answer>("archiveAnswer");
        QTest::addColumn<bool>("olderArchive");
        QTest::newRow("not found, older archive") << Answer{404, "<html>missing</html>"} << true;
        QTest::newRow("not found, no archive") << Answer{404, "<html>missing</html>"} << false;
        QTest::newRow("server error") << Answer{500, "broken"} << true;
        QTest::newRow("connection lost") << Answer{200, kArchive, Answer::CutShort} << true;
    }
    void failedDownloadKeepsTheOldArchiveAndOpensNothing() {
        QFETCH(Answer, archiveAnswer);
        QFETCH(bool, olderArchive);
        CheckedRun run;
        if (olderArchive) writeFile(run.archive(), kOlderArchive);
        run.server.answers[kCheckPath] = {200, "v2.0"};
        run.server.answers[kArchivePath] = archiveAnswer;
        QVERIFY(!run.start());
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, (QStringList{kNewVersion, kDownloadError}));
        QCOMPARE(run.leftInCurrent(), olderArchive ? QStringList{"Lintrel.zip"} : QStringList{});
        if (olderArchive) QCOMPARE(readFile(run.archive()), kOlderArchive);
        QVERIFY(run.opened.isEmpty());
    }

    // Whatever the server calls a success, only a zip archive is handed to the desktop.
    void downloadThatIsNoZipArchiveIsNotOpened_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("web page") << QByteArray("<html><body>Moved</body></html>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("three bytes") << QByteArray("PK\x03", 3);
        QTest::newRow("end record of an empty archive") << QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    }
    void downloadThatIsNoZipArchiveIsNotOpened() {
        QFETCH(QByteArray, body);
        CheckedRun run;
        writeFile(run.archive(), kOlderArchive);
        run.server.answers[kCheckPath] = {200, "v2.0"};
        run.server.answers[kArchivePath] = {200, body};
        QVERIFY(!run.start());
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, (QStringList{kNewVersion, kNotAnArchive}));
        QCOMPARE(readFile(run.archive()), kOlderArchive);
        QCOMPARE(run.leftInCurrent(), QStringList{"Lintrel.zip"});
        QVERIFY(run.opened.isEmpty());
    }

    // A download that goes on past its deadline is given up, however steadily
    // its bytes come; so is one the user cancels, and one too large to take.
    void downloadStopsAtDeadlineCancelAndSizeLimit_data() {
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("deadline") << "deadline" << QStringList{kNewVersion, kDownloadError};
        QTest::newRow("cancel") << "cancel" << QStringList{kNewVersion};
        QTest::newRow("size limit") << "size" << QStringList{kNewVersion, kTooLarge};
    }
    void downloadStopsAtDeadlineCancelAndSizeLimit() {
        QFETCH(QString, stop);
        QFETCH(QStringList, messages);
        CheckedRun run;
        writeFile(run.archive(), kOlderArchive);
        run.server.answers[kCheckPath] = {200, "v2.0"};
        const QByteArray slowArchive = kArchive.left(40);  // two seconds, one byte at a time
        run.server.answers[kArchivePath] = {200, slowArchive, Answer::Trickle, 50};
        if (stop == "deadline") run.environment.updateLimits.downloadDeadlineMs = 300;
        if (stop == "cancel") run.dialogs.cancelProgressAt = 3;
        if (stop == "size") {
            run.environment.updateLimits.archiveBytes = 1 << 20;
            run.server.answers[kArchivePath] = {200, kArchive + QByteArray(1 << 20, 'z')};
        }
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!run.start());
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, messages);
        QCOMPARE(run.dialogs.progresses, QStringList{kDownloading});
        QCOMPARE(readFile(run.archive()), kOlderArchive);
        QCOMPARE(run.leftInCurrent(), QStringList{"Lintrel.zip"});
        QVERIFY(run.opened.isEmpty());
    }

    // The real progress window: shown at once, it follows the download and
    // its Cancel button reaches it.
    void progressWindowFollowsAndCancels() {
        QtDialogs dialogs;
        bool cancelled = false;
        auto progress = dialogs.showProgress(nullptr, kDownloading, [&] { cancelled = true; });
        QPointer<QProgressDialog> window;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QProgressDialog*>(widget)) window = found;
        }
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->labelText(), kDownloading);
        progress->update(50, 200);
        QCOMPARE(window->value() * 4, window->maximum());
        progress->update(50, -1);  // size not known: a busy bar
        QCOMPARE(window->maximum(), 0);
        QPushButton* cancel = window->findChild<QPushButton*>();
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(cancelled);
        progress.reset();
        QVERIFY(!window);
    }

    // Any other failure before the download ends the program without a word.
    void archiveThatCannotBeCreatedEndsSilently() {
        CheckedRun run;
        QVERIFY(QDir(run.currentFolder.path()).mkdir("Lintrel.zip"));
        run.server.answers[kCheckPath] = {200, "v2.0"};
        run.server.answers[kArchivePath] = {200, kArchive};
        QVERIFY(!run.start());
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, QStringList{kNewVersion});
        QCOMPARE(run.server.requests.size(), 1);
        QVERIFY(run.opened.isEmpty());
    }

    // Only the first bytes of the answer are read; trimmed of surrounding
    // white space, it must be one short line of text.
    void versionAnswerIsJudgedOnItsFirstBytes_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("goesOn");
        const QByteArray version = kVersion.toLatin1();
        QTest::newRow("version, CR LF") << version + "\r\n" << true;
        QTest::newRow("version between blanks") << " \t" + version + " \r\n\n" << true;
        QTest::newRow("version filling 256 bytes") << version + QByteArray(256 - version.size(), ' ') << true;
        QTest::newRow("version and 257 bytes") << version + QByteArray(257 - version.size(), ' ') << false;
        QTest::newRow("8 MB") << "v2.0" + QByteArray(8 << 20, 'x') << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("blanks only") << QByteArray(" \r\n\t") << false;
        QTest::newRow("escape sequence") << QByteArray("v2.0\x1b]0;owned\x07") << false;
        QTest::newRow("NUL inside") << version.left(5) + QByteArray(1, '\0') + version.mid(5) << false;
        QTest::newRow("DEL") << QByteArray("v2.0\x7f") << false;
        QTest::newRow("line break inside") << QByteArray("v2.0\r\nv3.0") << false;
    }
    void versionAnswerIsJudgedOnItsFirstBytes() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, goesOn);
        CheckedRun run;
        run.server.answers[kCheckPath] = {200, answer};
        run.server.answers[kArchivePath] = {200, kArchive};
        QCOMPARE(run.start(), goesOn);
        QCOMPARE(run.dialogs.messages, goesOn ? QStringList{} : QStringList{kUnreachable});
        QVERIFY(run.opened.isEmpty());
        QCOMPARE(run.server.requests.size(), 1);
    }

    // Every byte comes well within any idle time-out, but the answer as a
    // whole misses the deadline.
    void tricklingVersionAnswerMeetsTheDeadline() {
        CheckedRun run;
        run.environment.updateLimits.answerDeadlineMs = 300;
        run.server.answers[kCheckPath] = {200, kVersion.toLatin1(), Answer::Trickle, 100};
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!run.start());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, QStringList{kUnreachable});
        QVERIFY(!QFile::exists(run.archive()));
    }

    void failedCheckSaysTheServerIsUnavailable_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("kind");
        QTest::newRow("not found") << 404 << int(Answer::Whole);
        QTest::newRow("server error") << 500 << int(Answer::Whole);
        QTest::newRow("no answer before the time-out") << 200 << int(Answer::Silent);
    }
    void failedCheckSaysTheServerIsUnavailable() {
        QFETCH(int, status);
        QFETCH(int, kind);
        CheckedRun run;
        run.environment.updateLimits.answerDeadlineMs = 300;
        run.server.answers[kCheckPath] = {status, kVersion.toLatin1(), Answer::Kind(kind)};
        QVERIFY(!run.start());
        run.verifyEnded();
        QCOMPARE(run.dialogs.messages, QStringList{kUnreachable});
        QVERIFY(!QFile::exists(run.archive()));
        QVERIFY(run.opened.isEmpty());
    }

    void serverDownSaysTheServerIsUnavailable() {
        LifecycleFixture run;
        QString address;
        {
            LocalHttpServer gone;  // a port that was free a moment ago
            address = gone.address();
        }
        run.writeOptions("[Parameters]\r\nUpdate_Server=" + address.toLatin1() + "\r\n");
        QVERIFY(!run.start());
        QCOMPARE(run.dialogs.messages, QStringList{kUnreachable});
        QVERIFY(!QFile::exists(run.inCurrent("Lintrel.zip")));
        QVERIFY(!run.options().contains("SWVer"));
    }

    // The build's default server is asked unless Options.ini names another
    // or switches the check off with an empty value.
    void serverComesFromTheBuildUnlessOptionsOverride() {
        LifecycleFixture run;
        LocalHttpServer server;
        server.answers[kCheckPath] = {200, kVersion.toLatin1()};
        run.environment.updateServer = server.address() + "/";
        QVERIFY(run.start());
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(server.requests[0].path, kCheckPath);

        run.writeOptions("[Parameters]\r\nUpdate_Server=" + server.address().mid(7).toLatin1() + "\r\n");
        run.environment.updateServer.clear();
        QVERIFY(run.start());  // "127.0.0.1:port" without a scheme is plain HTTP
        QCOMPARE(server.requests.size(), 2);

        run.writeOptions("[Parameters]\r\nUpdate_Server=\r\n");
        run.environment.updateServer = server.address();
        QVERIFY(run.start());
        QCOMPARE(server.requests.size(), 2);
        QVERIFY(run.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
