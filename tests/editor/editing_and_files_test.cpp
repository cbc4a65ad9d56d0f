// Undo and Redo with "Saved" coming back, Return keeping the indentation,
// Recent projects, Exit, dropped files, zoom and the colour schemes.
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "editor/code_editor.h"
#include "editor/colour_schemes.h"
#include "editor/recent_projects.h"
#include "window_fixture.h"

using namespace lintrel;
using lintrel::testing::WindowFixture;

namespace {

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QString project(WindowFixture& f, const QString& name, const QByteArray& text = "&P=BASIC\r\nPRINT 1\r\n") {
    const QString path = f.path("Projects/" + name);
    WindowFixture::writeBytes(path, text);
    return path;
}

// Drags files from a file manager onto the editor and lets go. The editor
// passes them on to the window, which takes the drop.
void drop(WindowFixture& f, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    data.setText(urls.first().toString());  // file managers offer the names as text too
    QWidget* target = f.editor()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// WCAG contrast ratio of two colours.
double contrast(const Rgb& a, const Rgb& b) {
    const auto luminance = [](const Rgb& c) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

}  // namespace

class EditingAndFilesTest : public QObject {
    Q_OBJECT
private slots:
    void undoBackToTheSavedTextShowsSaved();
    void returnKeepsTheIndentation();
    void recentProjects();
    void exitClosesAsTheCloseButtonDoes();
    void droppedFiles();
    void zoom();
    void readableAndDarkSchemesHaveContrast();
    void schemesAndCurrentLineColourTheEditor();
};

void EditingAndFilesTest::undoBackToTheSavedTextShowsSaved() {
    WindowFixture f;
    showActive(f.window.get());
    f.open(project(f, "a.lpj"));
    QVERIFY(!f.action("Undo1")->isEnabled());
    f.editor()->setFocus();
    QTest::keyClicks(f.editor(), "XY");
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QVERIFY(f.action("Undo1")->isEnabled());
    QVERIFY(!f.action("Redo1")->isEnabled());
    while (f.action("Undo1")->isEnabled()) QTest::keyClick(f.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.line(0), QStringLiteral("&P=BASIC"));
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    QVERIFY(f.window->isSaved());
    QTest::keyClick(f.editor(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    QTest::keyClick(f.editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.line(0), QStringLiteral("XY&P=BASIC"));
    // Saving moves the point that counts as saved.
    QVERIFY(f.window->Save());
    f.action("Undo1")->trigger();
    QCOMPARE(f.window->statusText(2), QStringLiteral("Unsaved"));
    f.action("Redo1")->trigger();
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    QVERIFY(f.window->isSaved());
}

void EditingAndFilesTest::returnKeepsTheIndentation() {
    WindowFixture f;
    showActive(f.window.get());
    f.setText("\t \tPRINT 1");
    f.editor()->setFocus();
    f.editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QTest::keyClicks(f.editor(), "B");
    QCOMPARE(f.line(1), QStringLiteral("\t \tB"));
    QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(f.line(2), QStringLiteral("\t \t"));
    // Only the indentation before the caret is repeated.
    f.editor()->setTextCursor(QTextCursor(f.editor()->document()->findBlockByNumber(0)));
    QTest::keyClick(f.editor(), Qt::Key_Right);
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QCOMPARE(f.line(0), QStringLiteral("\t"));
    QCOMPARE(f.line(1), QStringLiteral("\t \tPRINT 1"));
    f.action("Undo1")->trigger();  // one step
    QCOMPARE(f.line(0), QStringLiteral("\t \tPRINT 1"));
}

void EditingAndFilesTest::recentProjects() {
    WindowFixture f;
    QVERIFY(!f.window->findChild<QMenu*>("RecentProjects")->menuAction()->isEnabled());
    QStringList paths;
    for (int i = 0; i < 9; ++i) paths << project(f, QStringLiteral("p%1.lpj").arg(i));
    for (const QString& path : paths) f.open(path);
    f.dialogs.saveAnswers = {f.path("Projects/saved.lpj")};
    QVERIFY(f.window->SaveAS());
    f.open(paths[5]);  // again: to the top, not twice
    QStringList expected = {
        paths[5], f.path("Projects/saved.lpj"), paths[8], paths[7], paths[6], paths[4], paths[3], paths[2]};
    QCOMPARE(f.window->recentProjects()->paths(), expected);
    QCOMPARE(f.window->findChild<QAction*>("Recent2")->text(),
             "&2  " + QDir::toNativeSeparators(expected[1]));

    f.window->findChild<QAction*>("Recent3")->trigger();
    QCOMPARE(f.window->projectPath(), paths[8]);
    QVERIFY(QFile::remove(paths[7]));
    const QString current = f.window->projectPath();
    f.window->findChild<QAction*>("Recent4")->trigger();  // paths[7], now gone
    QCOMPARE(f.dialogs.errors, QStringList{"\"" + QDir::toNativeSeparators(paths[7]) +
                                           "\" no longer exists; it was removed from Recent projects."});
    QCOMPARE(f.window->projectPath(), current);
    QVERIFY(!f.window->recentProjects()->paths().contains(paths[7]));
    // Unsaved work is asked about first, as with Open.
    f.setText("changed");
    f.window->findChild<QAction*>("Recent2")->trigger();
    QCOMPARE(f.dialogs.questions.last(), QStringLiteral("The project is not saved. Are you sure?"));
    QCOMPARE(f.line(0), QStringLiteral("changed"));
}

void EditingAndFilesTest::exitClosesAsTheCloseButtonDoes() {
    WindowFixture f;
    showActive(f.window.get());
    int asked = 0;
    bool allow = false;
    f.window->setCloseHandler([&] { return ++asked, allow; });
    QTest::keyClick(f.editor(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(asked, 1);
    QVERIFY(f.window->isVisible());
    allow = true;
    f.action("Exit1")->trigger();
    QCOMPARE(asked, 2);
    QVERIFY(!f.window->isVisible());
}

void EditingAndFilesTest::droppedFiles() {
    WindowFixture f;
    const QString lpj = project(f, "dropped.lpj");
    const QString txt = project(f, "notes.TXT");
    const QString image = project(f, "picture.png", "\x89PNG");
    f.setText("unsaved");
    f.dialogs.yesNoAnswers = {false};
    drop(f, {QUrl::fromLocalFile(lpj)});
    QCOMPARE(f.dialogs.questions, QStringList{"The project is not saved. Are you sure?"});
    QCOMPARE(f.line(0), QStringLiteral("unsaved"));
    f.dialogs.yesNoAnswers = {true};
    drop(f, {QUrl::fromLocalFile(lpj)});
    QCOMPARE(f.window->projectPath(), lpj);
    drop(f, {QUrl::fromLocalFile(txt)});
    QCOMPARE(f.window->projectPath(), txt);

    drop(f, {QUrl::fromLocalFile(f.path("Projects"))});
    drop(f, {QUrl::fromLocalFile(image)});
    drop(f, {QUrl::fromLocalFile(lpj), QUrl::fromLocalFile(txt)});
    drop(f, {QUrl("https://example.org/a.lpj")});
    const QString native = QDir::toNativeSeparators(f.path("Projects"));
    QCOMPARE(f.dialogs.errors,
             (QStringList{"\"" + native + "\" is a folder, not a project. Nothing was opened.",
                          "\"" + QDir::toNativeSeparators(image) +
                              "\" is not a project (.lpj or .txt). Nothing was opened.",
                          "Drop one project file at a time.",
                          "\"https://example.org/a.lpj\" is not a file on this computer."}));
    QCOMPARE(f.window->projectPath(), txt);
    QVERIFY(!f.editor()->toPlainText().contains("file:"));  // never typed into the text
}

void EditingAndFilesTest::zoom() {
    WindowFixture f;
    showActive(f.window.get());
    CodeEditor* editor = f.window->codeEditor();
    const int pixels = editor->font().pixelSize();
    const qreal tab = editor->tabStopDistance();
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(f.editor(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(editor->zoom(), 120);
    QVERIFY(editor->font().pixelSize() > pixels);
    QCOMPARE(editor->tabStopDistance(), tab * 1.2);
    QTest::keyClick(f.editor(), Qt::Key_Minus, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), {}, QPoint(0, -240), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.editor()->viewport(), &wheel);
    QCOMPARE(editor->zoom(), 90);
    QTest::keyClick(f.editor(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(editor->zoom(), 100);
    QCOMPARE(editor->font().pixelSize(), pixels);
    for (int i = 0; i < 40; ++i) f.action("ZoomOut1")->trigger();
    QCOMPARE(editor->zoom(), Options::kMinimumZoom);
}

void EditingAndFilesTest::readableAndDarkSchemesHaveContrast() {
    for (const ColourSchemeId id : {ColourSchemeId::Readable, ColourSchemeId::Dark}) {
        const ColourScheme& scheme = colourScheme(id);
        for (const Rgb& token : scheme.tokens) {
            QVERIFY(contrast(token, scheme.background) >= 4.5);
            QVERIFY(contrast(token, scheme.currentLine) >= 4.5);
        }
        QVERIFY(contrast(scheme.gutterText, scheme.gutterBackground) >= 4.5);
        QVERIFY(contrast(scheme.gutterBasic, scheme.gutterBackground) >= 4.5);
    }
}

void EditingAndFilesTest::schemesAndCurrentLineColourTheEditor() {
    WindowFixture f;
    showActive(f.window.get());
    f.open(project(f, "colours.lpj", "\"STRING\"\r\n\r\n\r\n"));
    const auto pixelAt = [&](int line) {
        const QImage image = f.editor()->viewport()->grab().toImage();
        const QRect row =
            f.editor()->cursorRect(QTextCursor(f.editor()->document()->findBlockByNumber(line)));
        return QColor(image.pixel(image.width() - 5, row.center().y())).rgb();
    };
    QCOMPARE(pixelAt(1), QColor(Qt::white).rgb());
    const QColor desktopSelection = f.editor()->palette().color(QPalette::Highlight);
    f.action("CurrentLine1")->trigger();
    f.editor()->setTextCursor(QTextCursor(f.editor()->document()->findBlockByNumber(1)));
    const Rgb band = colourScheme(ColourSchemeId::Classic).currentLine;
    QCOMPARE(pixelAt(1), QColor(band.red, band.green, band.blue).rgb());
    QCOMPARE(pixelAt(2), QColor(Qt::white).rgb());

    f.action("SchemeDark")->trigger();
    const ColourScheme& dark = colourScheme(ColourSchemeId::Dark);
    QCOMPARE(pixelAt(2), QColor(dark.background.red, dark.background.green, dark.background.blue).rgb());
    const QTextLayout* layout = f.editor()->document()->firstBlock().layout();
    QCOMPARE(layout->formats().first().format.foreground().color(),
             QColor(dark.tokens[5].red, dark.tokens[5].green, dark.tokens[5].blue));
    // A new scheme recolours; it does not change the text.
    QCOMPARE(f.window->statusText(2), QStringLiteral("Saved"));
    QVERIFY(f.window->isSaved());
    QVERIFY(f.action("SchemeDark")->isChecked() && !f.action("SchemeClassic")->isChecked());
    // Classic and Readable keep the desktop's selection colours; Dark gives them back.
    QCOMPARE(f.editor()->palette().color(QPalette::Highlight), QColor(38, 79, 120));
    f.action("SchemeReadable")->trigger();
    QCOMPARE(f.editor()->palette().color(QPalette::Highlight), desktopSelection);
}

QTEST_MAIN(EditingAndFilesTest)
#include "editing_and_files_test.moc"
