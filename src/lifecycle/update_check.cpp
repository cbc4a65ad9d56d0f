#include "lifecycle/update_check.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>
#include <optional>

#include "editor/dialogs.h"
#include "lifecycle/version.h"
#include "lifecycle/version_answer.h"

namespace lintrel {

namespace {

constexpr char kVersionPath[] = "/orvet/versioncheck.php";
constexpr char kArchivePath[] = "/softwares/lintrel/Lintrel.zip";
constexpr char kArchiveFile[] = "Lintrel.zip";  // relative: the current folder

const QString kUnreachable = QStringLiteral("      The server is unavailable or\r\nthere is no internet connection!");
const QString kNewVersion = QStringLiteral("      A new version is available.\r\nAn update is required to continue.");
const QString kDownloadError = QStringLiteral("   Download error! Try agan.\r\nOr download from a website.");

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

// Streams the archive into the open file with a client of its own; false
// when the request or a write failed, or the deadline passed.
bool downloadInto(const UpdateCheck& check, QFile& file) {
    QNetworkAccessManager client;
    std::unique_ptr<QNetworkReply> reply(client.get(QNetworkRequest(resourceUrl(check.server, kArchivePath))));
    bool written = true;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] {
        const QByteArray chunk = reply->readAll();
        if (file.write(chunk) != chunk.size()) written = false;
    });
    waitFor(reply.get(), check.limits.downloadDeadlineMs);
    const QByteArray rest = reply->readAll();
    if (file.write(rest) != rest.size()) written = false;
    return succeeded(*reply) && written && file.flush();
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
    QFile file(QString::fromLatin1(kArchiveFile));
    // Created before the request, so a failed download leaves it behind.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (!downloadInto(check, file)) {
        dialogs.showMessage(owner, kDownloadError);
        return false;
    }
    file.close();
    if (check.openFile) check.openFile(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    return false;
}

}  // namespace lintrel
