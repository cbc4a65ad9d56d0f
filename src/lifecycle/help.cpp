#include "lifecycle/help.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <algorithm>
#include <optional>
#include <utility>

#include "editor/dialogs.h"
#include "editor/main_window.h"
#include "editor/workspace.h"
#include "system/version.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

constexpr char kWhatsNewFile[] = "WhatsNew.txt";
// More is not read: a huge file must not freeze start-up.
constexpr qint64 kWhatsNewLimit = 1 << 20;
constexpr qsizetype kLongestLine = 1000;  // characters of one line of the text window
constexpr char kWhatsNewCut[] = "[WhatsNew.txt is longer than 1 MB; the rest is not shown.]";
constexpr char kWhatsNewTitle[] = "Lintrel - What's new";
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

// The first limit bytes of a file, and whether there was more; nullopt with
// the error text naming the file when it cannot be read.
std::optional<std::pair<QByteArray, bool>> readStart(const QString& path, qint64 limit, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const bool cut = bytes.size() > limit;
    if (cut) bytes.truncate(limit);
    return std::make_pair(bytes, cut);
}

// WhatsNew.txt from the current folder; when that folder has none, the one
// beside the executable or in the shipped data folder. Only a regular file
// counts: a pipe or a device would hang or never end. Empty when none is found.
QString findWhatsNew(const ProgramFolders& folders) {
    for (const QString& folder : {QDir::currentPath(), folders.program, folders.data}) {
        const QFileInfo file(QDir(folder).filePath(QLatin1String(kWhatsNewFile)));
        if (file.isFile()) return QDir::cleanPath(file.absoluteFilePath());
    }
    return {};
}

// UTF-8 when the bytes are valid UTF-8, else code page 1250 like the
// project files, so a file written on either kind of system reads right.
// In a file that was cut, a character cut in two at the end is dropped.
QString decodeText(const QByteArray& bytes, bool cut) {
    const auto flags = cut ? QStringDecoder::Flag::Default : QStringDecoder::Flag::Stateless;
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
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
// no further line. A line longer than kLongestLine is shown in pieces: the
// text window takes minutes to wrap a line of a megabyte without a blank.
QString linesWithBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) lines.removeLast();
    QString result;
    for (const QString& line : lines) {
        qsizetype start = 0;
        do {
            qsizetype length = std::min(kLongestLine, line.size() - start);
            if (start + length < line.size() && line.at(start + length - 1).isHighSurrogate()) --length;
            result += line.mid(start, length) + QStringLiteral("\r\n");
            start += length;
        } while (start < line.size());
    }
    return result;
}

// Ctrl+F in the manual: a line at its top right that finds text, going on
// from the last match and round to the start; "Not found" when it is nowhere.
class ManualFind : public QFrame {
public:
    explicit ManualFind(QTextBrowser* browser) : QFrame(browser), browser_(browser) {
        setObjectName(QStringLiteral("ManualFind"));
        setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(6, 4, 6, 4);
        field_->setObjectName(QStringLiteral("findText"));
        field_->setPlaceholderText(QStringLiteral("Find"));
        message_->setObjectName(QStringLiteral("findMessage"));
        layout->addWidget(field_);
        layout->addWidget(message_);
        connect(field_, &QLineEdit::returnPressed, this, [this] { findNext(); });
        connect(field_, &QLineEdit::textEdited, message_, &QLabel::clear);
        browser->installEventFilter(this);
        hide();
    }

    void open() {
        place();
        show();
        raise();
        field_->setFocus();
        field_->selectAll();
    }

    void findNext() {
        const QString text = field_->text();
        if (text.isEmpty()) return;
        bool found = browser_->find(text);
        if (!found) {
            QTextCursor start = browser_->textCursor();
            start.movePosition(QTextCursor::Start);
            browser_->setTextCursor(start);
            found = browser_->find(text);
        }
        message_->setText(found ? QString() : QStringLiteral("Not found"));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) place();
        return false;
    }

private:
    void place() {
        const int width = std::min(320, browser_->width() - 40);
        setGeometry(browser_->width() - width - 24, 4, width, sizeHint().height());
    }

    QTextBrowser* browser_;
    QLineEdit* field_ = new QLineEdit(this);
    QLabel* message_ = new QLabel(this);
};

// Escape hides the find line first, then closes the manual.
void addManualKeys(QTextBrowser* browser) {
    auto* find = new ManualFind(browser);
    auto* findKey = new QShortcut(QKeySequence::Find, browser, [find] { find->open(); });
    findKey->setContext(Qt::WidgetWithChildrenShortcut);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), browser, [browser, find] {
        if (find->isVisible()) {
            find->hide();
            browser->setFocus();
        } else {
            browser->close();
        }
    });
    escape->setContext(Qt::WidgetWithChildrenShortcut);
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
    addManualKeys(browser);
    return browser;
}

// The heading's anchor as GitHub makes it, so the manual's own links
// ("#8-the-window") work in the window as on the web: lower case, spaces to
// hyphens, anything but letters, digits, hyphens and underscores dropped.
QString headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c == QLatin1Char(' ')) anchor += QLatin1Char('-');
        else if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) anchor += c;
    }
    return anchor;
}

// Markdown headings get no anchor names of their own.
void nameHeadings(QTextDocument* document) {
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0) continue;
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({headingAnchor(block.text())});
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
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
    const QString path = findWhatsNew(window.folders());
    if (path.isEmpty()) {
        const QString inCurrent = QFileInfo(QLatin1String(kWhatsNewFile)).absoluteFilePath();
        window.showGeneralError(QStringLiteral("Cannot open file \"%1\". There is no such file there, beside the "
                                               "program or in its data folder.").arg(inCurrent));
        return;
    }
    QString error;
    const auto start = readStart(path, kWhatsNewLimit, error);
    if (!start) {
        window.showGeneralError(error);
        return;
    }
    const auto& [bytes, cut] = *start;
    QString text = linesWithBreaks(decodeText(bytes, cut));
    if (cut) text += QLatin1String(kWhatsNewCut) + QStringLiteral("\r\n");
    window.dialogs().showText(parent, QLatin1String(kWhatsNewTitle), text);
}

QString findManual(const QString& dataFolder) {
    const QString beside = QDir(dataFolder).filePath(QLatin1String(kManualFile));
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
    QString path = findManual(window.folders().data);
    if (path.isEmpty()) path = QDir(window.folders().data).filePath(QLatin1String(kManualFile));
    QString error;
    const auto bytes = readWhole(path, error);
    if (!bytes) {
        window.showGeneralError(error);
        return;
    }
    QTextBrowser* browser = manualWindow(window);
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setMarkdown(QString::fromUtf8(*bytes));
    nameHeadings(browser->document());
    if (!browser->isVisible()) {  // opens centred over the main window
        QRect frame = browser->frameGeometry();
        frame.moveCenter(window.frameGeometry().center());
        browser->move(frame.topLeft());
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
    browser->setFocus();  // so that Escape and Ctrl+F work at once
}

void connectHelpMenu(MainWindow& window, const HelpSettings& settings) {
    connectAction(window, "Help1", [&window, settings] { showManual(window, settings); });
    connectAction(window, "MB_Whatsnew", [&window] { showWhatsNew(window, &window); });
    connectAction(window, "About1", [&window] { showAbout(window); });
}

}  // namespace lintrel
