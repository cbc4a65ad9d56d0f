// The window's menus, shortcuts, status bar and layout.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "window_fixture.h"

using lintrel::testing::WindowFixture;

namespace {

struct Item {
    QString name, caption, shortcut;
    bool enabled;
};

// The caption as it is shown: the "&" that marks the mnemonic is no character of it.
QString shown(const QString& caption) { return QString(caption).remove(QLatin1Char('&')); }

QList<Item> items(QMenu* menu) {
    QList<Item> result;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            result.push_back({QStringLiteral("-"), {}, {}, true});
        } else {
            result.push_back({action->objectName(), shown(action->text()),
                              QKeySequence::listToString(action->shortcuts()), action->isEnabled()});
        }
    }
    return result;
}

QString describe(const QList<Item>& list) {
    QStringList lines;
    for (const Item& item : list)
        lines << QStringLiteral("%1|%2|%3|%4").arg(item.name, item.caption, item.shortcut, item.enabled ? "on" : "off");
    return lines.join(QLatin1Char('\n'));
}

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void captionAndMenuBarOrder();
    void menuItemsCaptionsShortcutsAndStates();
    void spaceRemovalTogglesItsCheckMark();
    void f12BuildsWhileTheEditorHasTheFocus();
    void ctrlSOnANewProjectOpensSaveAs();
    void everyMenuAndItemHasAMnemonic();
    void manualListsEveryMenuItem();
    void tabInTheEditorInsertsATab();
    void shortcutsComeBeforeTheEditor_data();
    void shortcutsComeBeforeTheEditor();
    void shiftReturnStartsAnOrdinaryLine();
    void ctrlIInsertsBracesFromTheEditor();
    void layoutFollowsTheWindowSize();
    void editorSetUp();
    void statusBarPanels();
    void caretPanelsShownFromTheStart();
    void noPanelCutsItsText();
};

void MainWindowTest::captionAndMenuBarOrder() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Lintrel - v1.7.1b - test version"));
    QStringList bar;
    for (QAction* action : f.window->menuBar()->actions()) {
        if (action->isSeparator()) bar << QStringLiteral("-");
        else if (action->menu()) bar << action->menu()->objectName() + QLatin1Char('=') + shown(action->text());
        else bar << action->objectName() + QLatin1Char('=') + shown(action->text());
    }
    QCOMPARE(bar, QStringList({"File1=File", "Edit1=Edit", "Search=Search", "View1=View", "-",
                               "COMPILE1=COMPILE  (F12)", "-", "Options1=Options", "H1=Help"}));
    QCOMPARE(f.action("COMPILE1")->shortcut(), QKeySequence(Qt::Key_F12));
    QVERIFY(!f.action("COMPILE1")->menu());
}

void MainWindowTest::menuItemsCaptionsShortcutsAndStates() {
    WindowFixture f;
    auto menu = [&](const char* name) { return f.window->menuBar()->findChild<QMenu*>(QLatin1String(name)); };
    // The Parts' entries keep their captions and shortcuts; new ones come beside them.
    QCOMPARE(describe(items(menu("File1"))),
             QStringLiteral("New1|New|Ctrl+N|on\nOpen1|Open|Ctrl+O|on\nImport1|Import...||on\nRecentProjects|Recent projects||off\n-|||on\n"
                            "Save1|Save|Ctrl+S|on\nSaveAS1|Save As...||on\n-|||on\nExit1|Exit|Ctrl+Q|on"));
    QCOMPARE(describe(items(menu("Edit1"))),
             QStringLiteral("Undo1|Undo|Ctrl+Z|off\nRedo1|Redo|Ctrl+Y; Ctrl+Shift+Z|off\n-|||on\n"
                            "Insert1|Insert {..}|Ctrl+I|on\n-|||on\nCut1|Cut|Ctrl+X|on\nCopy1|Copy|Ctrl+C|on\n"
                            "Paste1|Paste|Ctrl+V|on\n-|||on\nSelectAll1|Select All|Ctrl+A|on"));
    QCOMPARE(describe(items(menu("Search"))),
             QStringLiteral("Find1|Find...|Ctrl+F|on\nReplace1|Replace...|Ctrl+R; Ctrl+H|on\nSearchNext1|Search Next|F3|on\n"
                            "SearchPrevious1|Find Previous|Shift+F3|on\n"
                            "-|||on\nGoToLine1|Go to line...|Ctrl+G|on\nGoToBasicLine1|Go to BASIC line...|Ctrl+Shift+G|on\n"
                            "-|||on\nGoToDefinition1|Go to definition|F2|on\nFindReferences1|Find references|Shift+F2|on\n"
                            "RenameLabel1|Rename label...|Ctrl+Shift+R|on"));
    QCOMPARE(describe(items(menu("View1"))),
             QStringLiteral("LineNumbers1|Line numbers||on\nBasicLineNumbers1|BASIC line numbers||on\n"
                            "BuildPanel1|Build panel||on\nOutline1|Outline||on\n-|||on\nZoomIn1|Zoom in|Ctrl++; Ctrl+=|on\n"
                            "ZoomOut1|Zoom out|Ctrl+-|on\nZoomReset1|Reset zoom|Ctrl+0|on\n-|||on\n"
                            "CurrentLine1|Highlight current line||on\nColourScheme|Colour scheme||on"));
    QCOMPARE(describe(items(menu("ColourScheme"))),
             QStringLiteral("SchemeClassic|Classic||on\nSchemeReadable|Readable||on\nSchemeDark|Dark||on"));
    QCOMPARE(describe(items(menu("Options1"))), QStringLiteral("CB_RUSPACE|Removing unnecessary SPACEs||on\n"
                                                               "BuildDialogs1|Show build results in dialogs||on\n"
                                                               "UnusedLabels1|Warn about unused labels||on"));
    QCOMPARE(describe(items(menu("H1"))), QStringLiteral("Help1|User manual|F1|on\n"
                                                         "MB_Whatsnew|What's in the new version||on\n-|||on\n"
                                                         "About1|About||on"));
    QVERIFY(f.action("CB_RUSPACE")->isCheckable());
    for (const char* name : {"New1", "Open1", "Save1", "Insert1", "Cut1", "Help1", "About1"})
        QVERIFY2(!f.action(name)->isCheckable(), name);
}

void MainWindowTest::spaceRemovalTogglesItsCheckMark() {
    WindowFixture f;
    QAction* item = f.action("CB_RUSPACE");
    const bool before = f.window->spaceRemoval();
    item->trigger();
    QCOMPARE(f.window->spaceRemoval(), !before);
    item->trigger();
    QCOMPARE(f.window->spaceRemoval(), before);
    f.window->setSpaceRemoval(false);
    QVERIFY(!item->isChecked());
    QVERIFY(f.window->isSaved());  // an option, not a change of the text
}

void MainWindowTest::f12BuildsWhileTheEditorHasTheFocus() {
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_F12);
    // The unnamed project asked for a name first; cancelling still builds.
    QCOMPARE(f.dialogs.saveProposedNames, QStringList({"Unnamed"}));
    QVERIFY(QFile::exists(f.path("Exports/Compiled_BASIC.bas")));
    QCOMPARE(f.dialogs.errors, QStringList());
}

// Ctrl+S did nothing and said nothing while the project had no file.
void MainWindowTest::ctrlSOnANewProjectOpensSaveAs() {
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QTest::keyClicks(f.editor(), QStringLiteral("X"));
    QVERIFY(!f.window->isSaved());
    f.dialogs.saveAnswers = {f.path("Projects/typed.lpj")};
    QTest::keyClick(f.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.dialogs.saveProposedNames, QStringList({"Unnamed"}));
    QVERIFY(f.window->isSaved());
    QCOMPARE(f.window->projectPath(), f.path("Projects/typed.lpj"));
    QVERIFY(WindowFixture::readBytes(f.path("Projects/typed.lpj")).startsWith("X&P=BASIC\r\n"));
}

// Alt and a letter reach every menu, and within it every item; no two
// entries of one menu share their letter.
void MainWindowTest::everyMenuAndItemHasAMnemonic() {
    WindowFixture f;
    auto check = [](const QList<QAction*>& actions, const QString& where) {
        QSet<QChar> letters;
        for (const QAction* action : actions) {
            if (action->isSeparator()) continue;
            const QString text = action->text();
            const qsizetype mark = text.indexOf(QLatin1Char('&'));
            QVERIFY2(mark >= 0 && mark + 1 < text.size(), qPrintable(where + ": " + text));
            const QChar letter = text[mark + 1].toUpper();
            QVERIFY2(!letters.contains(letter), qPrintable(where + ": " + text));
            letters.insert(letter);
        }
    };
    check(f.window->menuBar()->actions(), QStringLiteral("menu bar"));
    QCOMPARE(QKeySequence::mnemonic(f.window->menuBar()->actions().front()->text()),
             QKeySequence(Qt::AltModifier | Qt::Key_F));
    for (const QMenu* menu : f.window->menuBar()->findChildren<QMenu*>()) {
        if (menu->objectName() == QStringLiteral("RecentProjects")) continue;  // its entries are numbered
        check(menu->actions(), menu->objectName());
    }
}

// The manual's menu table left out "Warn about unused labels".
void MainWindowTest::manualListsEveryMenuItem() {
    QFile file(qEnvironmentVariable("LINTREL_SOURCE_DIR") + QStringLiteral("/docs/manual.md"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString manual = QString::fromUtf8(file.readAll());
    const qsizetype start = manual.indexOf(QStringLiteral("### Menus and shortcuts"));
    const QString table = manual.mid(start, manual.indexOf(QStringLiteral("\n### "), start + 1) - start);
    QVERIFY(start >= 0);
    WindowFixture f;
    for (const QMenu* menu : f.window->menuBar()->findChildren<QMenu*>()) {
        if (menu->objectName() == QStringLiteral("RecentProjects")) continue;  // filled as projects are used
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            QVERIFY2(table.contains(shown(action->text())), qPrintable(shown(action->text())));
        }
    }
    QVERIFY(table.contains(shown(f.action("COMPILE1")->text())));
}

void MainWindowTest::tabInTheEditorInsertsATab() {
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Tab);
    QVERIFY(f.editor()->hasFocus());
    QCOMPARE(f.line(0), QStringLiteral("\t&P=BASIC"));
}

void MainWindowTest::shortcutsComeBeforeTheEditor_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QKeyCombination>("key");
    QTest::newRow("New") << "New1" << (Qt::ControlModifier | Qt::Key_N);
    QTest::newRow("Open") << "Open1" << (Qt::ControlModifier | Qt::Key_O);
    QTest::newRow("Insert") << "Insert1" << (Qt::ControlModifier | Qt::Key_I);
    // The editor knows these four itself and would take them first.
    QTest::newRow("Cut") << "Cut1" << (Qt::ControlModifier | Qt::Key_X);
    QTest::newRow("Copy") << "Copy1" << (Qt::ControlModifier | Qt::Key_C);
    QTest::newRow("Paste") << "Paste1" << (Qt::ControlModifier | Qt::Key_V);
    QTest::newRow("Select All") << "SelectAll1" << (Qt::ControlModifier | Qt::Key_A);
    QTest::newRow("Find") << "Find1" << (Qt::ControlModifier | Qt::Key_F);
    QTest::newRow("Replace") << "Replace1" << (Qt::ControlModifier | Qt::Key_R);
    QTest::newRow("Replace by Ctrl+H") << "Replace1" << (Qt::ControlModifier | Qt::Key_H);
    QTest::newRow("Find Previous") << "SearchPrevious1" << (Qt::ShiftModifier | Qt::Key_F3);
    QTest::newRow("Go to definition") << "GoToDefinition1" << QKeyCombination(Qt::Key_F2);
    QTest::newRow("Find references") << "FindReferences1" << (Qt::ShiftModifier | Qt::Key_F2);
    QTest::newRow("Rename label") << "RenameLabel1" << (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_R);
    QTest::newRow("Search Next") << "SearchNext1" << QKeyCombination(Qt::Key_F3);
    QTest::newRow("COMPILE") << "COMPILE1" << QKeyCombination(Qt::Key_F12);
    QTest::newRow("User manual") << "Help1" << QKeyCombination(Qt::Key_F1);
}

// Each shortcut pressed while the editor has the focus runs its menu item.
void MainWindowTest::shortcutsComeBeforeTheEditor() {
    QFETCH(QString, action);
    QFETCH(QKeyCombination, key);
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QSignalSpy triggered(f.action(action.toLatin1().constData()), &QAction::triggered);
    QTest::keyClick(f.editor(), key.key(), key.keyboardModifiers());
    QCOMPARE(triggered.count(), 1);
}

// Shift+Return would put a line separator into the text, which no byte of the
// project's code page stands for, and the project could not be saved.
void MainWindowTest::shiftReturnStartsAnOrdinaryLine() {
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QTest::keyClicks(f.editor(), QStringLiteral("A"));
    QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(f.editor(), QStringLiteral("B"));
    QCOMPARE(f.line(0), QStringLiteral("A"));
    QCOMPARE(f.line(1), QStringLiteral("B&P=BASIC"));
    f.dialogs.saveAnswers = {f.path("Projects/lines.lpj")};
    QVERIFY(f.window->SaveAS());
    QCOMPARE(f.dialogs.errors, QStringList());
    QVERIFY(WindowFixture::readBytes(f.path("Projects/lines.lpj")).startsWith("A\r\nB&P=BASIC\r\n"));
}

void MainWindowTest::ctrlIInsertsBracesFromTheEditor() {
    WindowFixture f;
    showActive(f.window.get());
    f.editor()->setFocus();
    QTest::keyClick(f.editor(), Qt::Key_Right);
    QTest::keyClick(f.editor(), Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(f.line(0), QStringLiteral("&{}P=BASIC"));
    QCOMPARE(f.editor()->textCursor().position(), 3);
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 4   SelLen: 0"));
}

// The rule and the minimum are stated for the outer size, frame included.
void MainWindowTest::layoutFollowsTheWindowSize() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QProgressBar* pass = f.window->passProgressBar();
    QProgressBar* stage = f.window->stageProgressBar();
    const QSize frame = f.window->frameGeometry().size() - f.window->size();
    f.window->resize(QSize(640, 480) - frame);
    QCOMPARE(f.window->frameGeometry().size(), QSize(640, 480));
    QCOMPARE(pass->geometry(), QRect(0, 0, 620, 9));
    QCOMPARE(stage->geometry(), QRect(0, 8, 620, 9));
    QCOMPARE(f.editor()->geometry(), QRect(0, 16, 620, 386));
    f.window->applyStartSize();
    QCOMPARE(f.window->frameGeometry().size(), QSize(1024, 640));
    QCOMPARE(pass->width(), 1004);
    QCOMPARE(stage->width(), 1004);
    QCOMPARE(f.editor()->geometry(), QRect(0, 16, 1004, 546));
    const QPoint offCentre = f.window->frameGeometry().center() - f.window->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, "the start size is centred on the screen");
    // The editor ends above the status bar.
    const QPoint bottom = f.editor()->mapTo(f.window.get(), QPoint(0, f.editor()->height()));
    QVERIFY(bottom.y() <= f.window->statusBar()->geometry().top());
    f.window->resize(300, 200);
    QCOMPARE(f.window->frameGeometry().size(), QSize(640, 480));
}

void MainWindowTest::editorSetUp() {
    WindowFixture f;
    QPlainTextEdit* editor = f.editor();
    QCOMPARE(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(editor->font().bold());
    const QFontMetrics metrics(editor->font());
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(editor->tabStopDistance(), 100.0 * editor->logicalDpiX() / 72.0);
    QCOMPARE(editor->palette().color(QPalette::Base), QColor(Qt::white));
}

void MainWindowTest::statusBarPanels() {
    WindowFixture f;
    auto labels = f.window->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    labels.removeIf([](const QLabel* label) { return !label->objectName().startsWith(QLatin1String("Panel")); });
    QCOMPARE(labels.size(), 4);  // beside them only the build's verdict
    f.window->show();
    f.window->resize(1024, 640);
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->findChild<QLabel*>("Panel0")->width(), 160);
    QCOMPARE(f.window->findChild<QLabel*>("Panel1")->width(), 200);
    QCOMPARE(f.window->findChild<QLabel*>("Panel2")->width(), 60);
    QVERIFY(f.window->findChild<QLabel*>("Panel3")->width() > 400);
}

// The caret panels were empty until the first key after start-up and New.
void MainWindowTest::caretPanelsShownFromTheStart() {
    WindowFixture f;
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 22   Lines: 4"));
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 1   SelLen: 0"));
    f.setText(QStringLiteral("PRINT 1\nEND"));
    f.dialogs.yesNoAnswers = {true};
    f.action("New1")->trigger();
    QCOMPARE(f.window->statusText(0), QStringLiteral("Length: 22   Lines: 4"));
    QCOMPARE(f.window->statusText(1), QStringLiteral("Line: 1   Pos: 1   SelLen: 0"));
}

// Panel 0 cut "Length: 1234567   Lines: 123456" at its fixed 160 pixels.
void MainWindowTest::noPanelCutsItsText() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QSize before = f.window->size();
    const QStringList texts = {"Length: 1234567   Lines: 123456", "Line: 123456   Pos: 12345   SelLen: 1234567",
                               "Unsaved", f.path(QStringLiteral("Projects/") + QString(150, QLatin1Char('p')) + ".lpj")};
    for (int i = 0; i < 4; ++i) f.window->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i))->setText(texts[i]);
    QCoreApplication::processEvents();
    for (int i = 0; i < 3; ++i) {
        const QLabel* panel = f.window->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
        const int needed = panel->fontMetrics().horizontalAdvance(texts[i]) + 2 * panel->frameWidth() + panel->indent();
        QVERIFY2(panel->width() >= needed, qPrintable(QStringLiteral("%1: %2 < %3").arg(texts[i]).arg(panel->width()).arg(needed)));
    }
    // A long path does not push the window wider; the full path is its tooltip.
    QCOMPARE(f.window->size(), before);
    QCOMPARE(f.window->statusText(3), texts[3]);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
