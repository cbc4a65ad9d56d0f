#include "lifecycle/help.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextBrowser>
#include <optional>

#include "editor/dialogs.h"
#include "editor/main_window.h"
#include "system/version.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

constexpr char kWhatsNewFile[] = "WhatsNew.txt";  // relative: the current folder
constexpr char kManualFile[] = "manual.md";
constexpr char kMakerLine[] = "VELTMARK Studio, 2025";

// The whole file, or the error text naming it.
std::optional<QByteArray> readWhole(const QString& name, QString& error) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(name).absoluteFilePath(), file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot read file \"%1\". %2").arg(QFileInfo(name).absoluteFilePath(), file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// UTF-8 when the bytes are valid UTF-8, else code page 1250 like the
// project files, so a file written on either kind of system reads right.
QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    text.clear();
    for (const char byte : bytes) {
        const char32_t character = codePage1250ToUnicode(static_cast<unsigned char>(byte));
        text += QString::fromUcs4(&character, 1);
    }
    return text;
}

// The file's lines, each followed by a line break; a final break starts
// no further line.
QString linesWithBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) lines.removeLast();
    QString result;
    for (const QString& line : lines) result += line + QStringLiteral("\r\n");
    return result;
}

QTextBrowser* manualWindow(MainWindow& window) {
    if (auto* existing = window.findChild<QTextBrowser*>(QStringLiteral("ManualWindow"))) return existing;
    auto* browser = new QTextBrowser(&window);
    browser->setObjectName(QStringLiteral("ManualWindow"));
    browser->setWindowFlag(Qt::Window);
    browser->setWindowTitle(QStringLiteral("Lintrel - User manual"));
    browser->setOpenExternalLinks(true);
    browser->setAttribute(Qt::WA_QuitOnClose, false);  // an open manual does not keep the program alive
    browser->document()->setDocumentMargin(12);
    browser->resize(820, 640);
    return browser;
}

void connectAction(MainWindow& window, const char* name, std::function<void()> handler) {
    if (auto* action = window.findChild<QAction*>(QLatin1String(name))) {
        QObject::connect(action, &QAction::triggered, &window, [handler = std::move(handler)] { handler(); });
    }
}

}  // namespace

QString aboutText() {
    const QStringList lines = {
        QStringLiteral("About Lintrel"),
        QString(),
        QStringLiteral("A universal, multi platform"),
        QStringLiteral("program development environment"),
        QStringLiteral("for the BASIC language."),
        QString(),
        QStringLiteral("Version: ") + QString::fromLatin1(kProgramVersion.data(), qsizetype(kProgramVersion.size())),
        QString(),
        QString::fromLatin1(kMakerLine),
    };
    return lines.join(QStringLiteral("\r\n"));
}

void showAbout(MainWindow& window) { window.dialogs().showInformation(&window, aboutText()); }

void showWhatsNew(MainWindow& window, QWidget* parent) {
    QString error;
    const auto bytes = readWhole(QString::fromLatin1(kWhatsNewFile), error);
    if (!bytes) {
        window.showGeneralError(error);
        return;
    }
    window.dialogs().showInformation(parent, linesWithBreaks(decodeText(*bytes)));
}

QString findManual(const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(QLatin1String(kManualFile));
    if (QFileInfo::exists(beside)) return beside;
#ifdef LINTREL_SOURCE_DOCS
    const QString source = QDir(QStringLiteral(LINTREL_SOURCE_DOCS)).filePath(QLatin1String(kManualFile));
    if (QFileInfo::exists(source)) return source;
#endif
    return {};
}

void showManual(MainWindow& window, const HelpSettings& settings) {
    if (!settings.manualAddress.trimmed().isEmpty()) {
        // As with any shell "open", a failure is not reported.
        if (settings.openUrl) settings.openUrl(QUrl(settings.manualAddress.trimmed()));
        return;
    }
    QString path = findManual(window.programFolder());
    if (path.isEmpty()) path = QDir(window.programFolder()).filePath(QLatin1String(kManualFile));
    QString error;
    const auto bytes = readWhole(path, error);
    if (!bytes) {
        window.showGeneralError(error);
        return;
    }
    QTextBrowser* browser = manualWindow(window);
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setMarkdown(QString::fromUtf8(*bytes));
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void connectHelpMenu(MainWindow& window, const HelpSettings& settings) {
    connectAction(window, "Help1", [&window, settings] { showManual(window, settings); });
    connectAction(window, "MB_Whatsnew", [&window] { showWhatsNew(window, &window); });
    connectAction(window, "About1", [&window] { showAbout(window); });
}

}  // namespace lintrel
