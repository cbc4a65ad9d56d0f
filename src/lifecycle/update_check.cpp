#include "lifecycle/update_check.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

#include "editor/dialogs.h"
#include "system/version.h"

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

// Runs the request to its end inside a local event loop; the window is not
// shown yet, so nothing else can run meanwhile.
void waitFor(QNetworkReply* reply) {
    if (reply->isFinished()) return;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

// The body of the version-check script, or nullopt when the request failed
// in any way (no connection, time-out, error status).
std::optional<QByteArray> fetchVersion(const UpdateCheck& check) {
    QNetworkAccessManager client;
    QNetworkRequest request(resourceUrl(check.server, kVersionPath));
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setTransferTimeout(check.timeoutMs);
    std::unique_ptr<QNetworkReply> reply(client.get(request));
    waitFor(reply.get());
    if (reply->error() != QNetworkReply::NoError) return std::nullopt;
    return reply->readAll();
}

// Streams the archive into the open file with a client of its own; false
// when the request or a write failed.
bool downloadInto(const UpdateCheck& check, QFile& file) {
    QNetworkAccessManager client;
    QNetworkRequest request(resourceUrl(check.server, kArchivePath));
    request.setTransferTimeout(check.timeoutMs);
    std::unique_ptr<QNetworkReply> reply(client.get(request));
    bool written = true;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] {
        const QByteArray chunk = reply->readAll();
        if (file.write(chunk) != chunk.size()) written = false;
    });
    waitFor(reply.get());
    const QByteArray rest = reply->readAll();
    if (file.write(rest) != rest.size()) written = false;
    return reply->error() == QNetworkReply::NoError && written && file.flush();
}

}  // namespace

bool checkVersion(const UpdateCheck& check, Dialogs& dialogs, QWidget* owner) {
    if (check.server.trimmed().isEmpty()) return true;
    const auto answer = fetchVersion(check);
    if (!answer) {
        dialogs.showMessage(owner, kUnreachable);
        return false;
    }
    if (*answer == QByteArray(kProgramVersion.data(), qsizetype(kProgramVersion.size()))) return true;

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
