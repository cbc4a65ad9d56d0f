#include "lifecycle/update_check.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <memory>
#include <optional>

#include "editor/dialogs.h"
#include "system/version.h"
#include "system/version_answer.h"

namespace lintrel {

namespace {

constexpr char kVersionPath[] = "/orvet/versioncheck.php";
constexpr char kArchivePath[] = "/softwares/lintrel/Lintrel.zip";
constexpr char kArchiveFile[] = "Lintrel.zip";  // relative: the current folder
constexpr char kZipSignature[] = "PK\x03\x04";  // a local file header starts every zip archive
constexpr qint64 kDownloadBuffer = 1 << 20;     // what the network may hold before we take it

const QString kUnreachable = QStringLiteral("      The server is unavailable or\r\nthere is no internet connection!");
const QString kNewVersion = QStringLiteral("      A new version is available.\r\nAn update is required to continue.");
const QString kDownloadError = QStringLiteral("   Download error! Try agan.\r\nOr download from a website.");
const QString kDownloading = QStringLiteral("Downloading the update...");
const QString kNotAnArchive = QStringLiteral(
    "The downloaded update is not a zip archive, so it was not opened.\r\nPlease download it from the website.");
const QString kTooLarge = QStringLiteral(
    "The update is larger than %1 MB, so it was not downloaded.\r\nPlease download it from the website.");

enum class Download { Complete, Failed, TooLarge, Cancelled };

QUrl resourceUrl(const QString& server, const char* path) {
    QString base = server.trimmed();
    while (base.endsWith('/')) base.chop(1);
    if (!base.contains(QLatin1String("://"))) base.prepend(QLatin1String("http://"));  // "host:port" is enough
    return QUrl(base + QLatin1String(path));
}

// Runs the request to its end inside a local event loop, or aborts it once
// the deadline has passed, however much is still arriving; the window is not
// shown yet, so nothing else can run meanwhile.
void waitFor(QNetworkReply* reply, int deadlineMs) {
    if (reply->isFinished()) return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(deadlineMs);
    loop.exec();
}

bool succeeded(const QNetworkReply& reply) {
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply.error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

// At most one byte more of the version-check script's answer than an answer
// may hold (that byte tells a longer one); nullopt when the request failed in
// any way (no connection, error status, deadline passed).
std::optional<QByteArray> fetchVersion(const UpdateCheck& check) {
    constexpr qint64 kKept = qint64(kVersionAnswerLimit) + 1;
    QNetworkAccessManager client;
    QNetworkRequest request(resourceUrl(check.server, kVersionPath));
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    std::unique_ptr<QNetworkReply> reply(client.get(request));
    reply->setReadBufferSize(kKept);
    QByteArray answer;
    const auto take = [&] {
        answer += reply->read(kKept - answer.size());
        if (answer.size() == kKept) reply->abort();  // enough to tell it is too long
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, take);
    waitFor(reply.get(), check.limits.answerDeadlineMs);
    if (answer.size() == kKept) return answer;
    if (!succeeded(*reply)) return std::nullopt;
    take();
    return answer;
}

// What the download has taken so far.
struct Received {
    qint64 size = 0;
    QByteArray head;  // the first bytes, for the signature
    bool written = true;
    bool tooLarge = false;
    bool cancelled = false;
};

// Streams the archive into the temporary file with a client of its own,
// with a progress window whose Cancel stops it; stops as well at the
// deadline and at the size limit.
Download downloadInto(const UpdateCheck& check, QSaveFile& file, Dialogs& dialogs, QWidget* owner, Received& got) {
    QNetworkAccessManager client;
    std::unique_ptr<QNetworkReply> reply(client.get(QNetworkRequest(resourceUrl(check.server, kArchivePath))));
    reply->setReadBufferSize(kDownloadBuffer);
    QNetworkReply* pending = reply.get();
    const auto progress = dialogs.showProgress(owner, kDownloading, [&got, pending] {
        got.cancelled = true;
        // Not from inside the dialog's signal: the reply finishes in the loop.
        QMetaObject::invokeMethod(pending, &QNetworkReply::abort, Qt::QueuedConnection);
    });
    const auto take = [&] {
        const QByteArray chunk = reply->readAll();
        got.size += chunk.size();
        if (got.head.size() < 4) got.head += chunk.left(4 - got.head.size());
        if (got.size > check.limits.archiveBytes) got.tooLarge = true;
        else if (file.write(chunk) != chunk.size()) got.written = false;
        if (got.tooLarge || !got.written) reply->abort();
    };
    QObject::connect(pending, &QNetworkReply::metaDataChanged, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() <= check.limits.archiveBytes) return;
        got.tooLarge = true;
        reply->abort();
    });
    QObject::connect(pending, &QNetworkReply::readyRead, take);
    QObject::connect(pending, &QNetworkReply::downloadProgress, [&](qint64 done, qint64 total) {
        progress->update(done, total);
    });
    waitFor(pending, check.limits.downloadDeadlineMs);
    if (got.cancelled) return Download::Cancelled;
    if (got.tooLarge) return Download::TooLarge;
    if (!succeeded(*reply) || !got.written) return Download::Failed;
    take();
    if (got.tooLarge) return Download::TooLarge;
    const QVariant promised = reply->header(QNetworkRequest::ContentLengthHeader);
    if (!got.written || (promised.isValid() && promised.toLongLong() != got.size)) return Download::Failed;
    return Download::Complete;
}

// Downloads the archive beside Lintrel.zip and puts it in its place only when
// it arrived whole, as a zip archive within the size limit; then the shell
// opens it. Anything less leaves the old Lintrel.zip as it was.
void downloadAndOpen(const UpdateCheck& check, Dialogs& dialogs, QWidget* owner) {
    QSaveFile file(QString::fromLatin1(kArchiveFile));
    if (!file.open(QIODevice::WriteOnly)) return;  // nothing to write into: end without a word
    Received got;
    const Download outcome = downloadInto(check, file, dialogs, owner, got);
    if (outcome == Download::Cancelled) return;
    if (outcome == Download::TooLarge) {
        dialogs.showMessage(owner, kTooLarge.arg(check.limits.archiveBytes >> 20));
        return;
    }
    if (outcome == Download::Failed) {
        dialogs.showMessage(owner, kDownloadError);
        return;
    }
    if (got.head != QByteArray(kZipSignature, 4)) {
        dialogs.showMessage(owner, kNotAnArchive);
        return;
    }
    if (!file.commit()) {
        dialogs.showMessage(owner, kDownloadError);
        return;
    }
    if (check.openFile) check.openFile(QUrl::fromLocalFile(QFileInfo(file.fileName()).absoluteFilePath()));
}

}  // namespace

bool checkVersion(const UpdateCheck& check, Dialogs& dialogs, QWidget* owner) {
    if (check.server.trimmed().isEmpty()) return true;
    const auto answer = fetchVersion(check);
    const VersionAnswer verdict =
        answer ? judgeVersionAnswer(std::string_view(answer->constData(), size_t(answer->size())), kProgramVersion)
               : VersionAnswer::Unavailable;
    if (verdict == VersionAnswer::Current) return true;
    if (verdict == VersionAnswer::Unavailable) {
        dialogs.showMessage(owner, kUnreachable);
        return false;
    }
    dialogs.showMessage(owner, kNewVersion);
    downloadAndOpen(check, dialogs, owner);
    return false;
}

}  // namespace lintrel
