#include "editor/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <algorithm>
#include <array>

#include "editor/build_command.h"
#include "editor/build_panel.h"
#include "editor/caret_tracker.h"
#include "editor/code_editor.h"
#include "editor/colour_schemes.h"
#include "editor/dialogs.h"
#include "editor/find_replace.h"
#include "editor/go_to_dialog.h"
#include "editor/label_tools.h"
#include "editor/line_numbering.h"
#include "editor/project_files.h"
#include "editor/recent_projects.h"
#include "editor/status_panel.h"
#include "editor/syntax_highlighter.h"
#include "system/install_layout.h"
#include "system/options_file.h"
#include "system/version.h"

namespace lintrel {

namespace {

enum class Kind { Item, Checkable, Submenu, Separator };

// One row per menu entry, in menu order. `menu` names the menu (or submenu)
// the entry goes into; several shortcuts are separated by "; ".
struct MenuRow {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
    Kind kind = Kind::Item;
};

constexpr MenuRow separator(const char* menu) { return {menu, nullptr, nullptr, "", Kind::Separator}; }

// The menu bar, in order. "COMPILE  (F12)" is a command of the bar itself.
// The "&" before a letter makes it the entry's mnemonic (Alt+F opens File);
// it is underlined, never shown as a character.
constexpr std::array<MenuRow, 9> kMenuBar = {{
    {"", "File1", "&File", "", Kind::Submenu},
    {"", "Edit1", "&Edit", "", Kind::Submenu},
    {"", "Search", "&Search", "", Kind::Submenu},
    {"", "View1", "&View", "", Kind::Submenu},
    separator(""),
    {"", "COMPILE1", "&COMPILE  (F12)", "F12"},
    separator(""),
    {"", "Options1", "&Options", "", Kind::Submenu},
    {"", "H1", "&Help", "", Kind::Submenu},
}};

constexpr std::array<MenuRow, 51> kItems = {{
    {"File1", "New1", "&New", "Ctrl+N"},
    {"File1", "Open1", "&Open", "Ctrl+O"},
    {"File1", "Import1", "&Import...", ""},
    {"File1", "RecentProjects", "&Recent projects", "", Kind::Submenu},
    separator("File1"),
    {"File1", "Save1", "&Save", "Ctrl+S"},
    {"File1", "SaveAS1", "Save &As...", ""},
    separator("File1"),
    {"File1", "Exit1", "E&xit", "Ctrl+Q"},
    {"Edit1", "Undo1", "&Undo", "Ctrl+Z"},
    {"Edit1", "Redo1", "&Redo", "Ctrl+Y; Ctrl+Shift+Z"},
    separator("Edit1"),
    {"Edit1", "Insert1", "&Insert {..}", "Ctrl+I"},
    separator("Edit1"),
    {"Edit1", "Cut1", "Cu&t", "Ctrl+X"},
    {"Edit1", "Copy1", "&Copy", "Ctrl+C"},
    {"Edit1", "Paste1", "&Paste", "Ctrl+V"},
    separator("Edit1"),
    {"Edit1", "SelectAll1", "Select &All", "Ctrl+A"},
    {"Search", "Find1", "&Find...", "Ctrl+F"},
    {"Search", "Replace1", "&Replace...", "Ctrl+R; Ctrl+H"},
    {"Search", "SearchNext1", "Search &Next", "F3"},
    {"Search", "SearchPrevious1", "Find &Previous", "Shift+F3"},
    separator("Search"),
    {"Search", "GoToLine1", "&Go to line...", "Ctrl+G"},
    {"Search", "GoToBasicLine1", "Go to &BASIC line...", "Ctrl+Shift+G"},
    separator("Search"),
    {"Search", "GoToDefinition1", "Go to &definition", "F2"},
    {"Search", "FindReferences1", "Find r&eferences", "Shift+F2"},
    {"Search", "RenameLabel1", "Rena&me label...", "Ctrl+Shift+R"},
    {"View1", "LineNumbers1", "&Line numbers", "", Kind::Checkable},
    {"View1", "BasicLineNumbers1", "&BASIC line numbers", "", Kind::Checkable},
    {"View1", "BuildPanel1", "Build &panel", "", Kind::Checkable},
    {"View1", "Outline1", "O&utline", "", Kind::Checkable},
    separator("View1"),
    {"View1", "ZoomIn1", "Zoom &in", "Ctrl++; Ctrl+="},
    {"View1", "ZoomOut1", "Zoom &out", "Ctrl+-"},
    {"View1", "ZoomReset1", "&Reset zoom", "Ctrl+0"},
    separator("View1"),
    {"View1", "CurrentLine1", "&Highlight current line", "", Kind::Checkable},
    {"View1", "ColourScheme", "&Colour scheme", "", Kind::Submenu},
    {"ColourScheme", "SchemeClassic", "&Classic", "", Kind::Checkable},
    {"ColourScheme", "SchemeReadable", "&Readable", "", Kind::Checkable},
    {"ColourScheme", "SchemeDark", "&Dark", "", Kind::Checkable},
    {"Options1", "CB_RUSPACE", "&Removing unnecessary SPACEs", "", Kind::Checkable},
    {"Options1", "BuildDialogs1", "&Show build results in dialogs", "", Kind::Checkable},
    {"Options1", "UnusedLabels1", "&Warn about unused labels", "", Kind::Checkable},
    {"H1", "Help1", "&User manual", "F1"},
    {"H1", "MB_Whatsnew", "&What's in the new version", ""},
    separator("H1"),
    {"H1", "About1", "&About", ""},
}};

// In the order of ColourSchemeId.
constexpr std::array<const char*, 3> kSchemeItems = {"SchemeClassic", "SchemeReadable", "SchemeDark"};

// The layout, stated for the window's outer size (frame included).
constexpr QSize kMinimumOuterSize(640, 480);
constexpr QSize kStartOuterSize(1024, 640);
constexpr int kPassBarTop = 0;
constexpr int kStageBarTop = 8;        // one pixel over the pass bar
constexpr int kBarHeight = 9;
constexpr int kEditorTop = 16;
constexpr int kWidthAllowance = 20;    // outer width minus the width of bars and editor
constexpr int kHeightAllowance = 94;   // outer height minus the height of the editor
constexpr std::array<int, 3> kPanelWidths = {160, 200, 60};  // the last panel takes the rest
constexpr int kStatusBarHeight = 19;
constexpr int kBuildPanelHeight = 130;  // when it first shows: about five entries
constexpr int kOutlineWidth = 260;      // when it first shows

// The window's shortcuts come before the editor: the editor would otherwise
// claim the keys it knows itself (Ctrl+A, Ctrl+C, ...) before the menu sees
// them. Shift+Return would put a line separator into the text that no code
// page byte stands for, so it starts a new line like Return.
class EditorKeys : public QObject {
public:
    EditorKeys(QWidget* window, QPlainTextEdit* editor) : QObject(editor), window_(window) {
        editor->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            return windowClaims(QKeySequence(key->keyCombination()));  // left unaccepted: the shortcut runs
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & Qt::ShiftModifier))
                key->setModifiers(key->modifiers() & ~Qt::ShiftModifier);
        }
        return false;
    }

private:
    bool windowClaims(const QKeySequence& pressed) const {
        const auto actions = window_->findChildren<QAction*>();
        return std::any_of(actions.begin(), actions.end(), [&](const QAction* action) {
            return action->isEnabled() && action->shortcuts().contains(pressed);
        });
    }

    QWidget* window_;
};

QProgressBar* createBar(QWidget* parent, const char* name, int top) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(0, top, 100, kBarHeight);
    return bar;
}

// What a drop would open, or why it opens nothing.
struct DroppedProject {
    QString path;
    QString problem;
};

DroppedProject droppedProject(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1) return {{}, QStringLiteral("Drop one project file at a time.")};
    const QString path = urls[0].toLocalFile();
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path.isEmpty() ? urls[0].toString() : path);
    if (path.isEmpty() || !file.exists()) return {{}, QStringLiteral("\"%1\" is not a file on this computer.").arg(shown)};
    if (file.isDir()) return {{}, QStringLiteral("\"%1\" is a folder, not a project. Nothing was opened.").arg(shown)};
    const QString suffix = file.suffix().toLower();
    if (suffix != QLatin1String("lpj") && suffix != QLatin1String("txt"))
        return {{}, QStringLiteral("\"%1\" is not a project (.lpj or .txt). Nothing was opened.").arg(shown)};
    return {path, {}};
}

}  // namespace

// The window's parts. Widgets and dialogs belong to Qt parents and are only
// pointed at; the feature classes are held here and go, in reverse order,
// before the window's widgets do.
struct MainWindow::Parts {
    Dialogs* dialogs = nullptr;
    Workspace workspace;
    CodeEditor* editor = nullptr;            // owned by the central widget
    SyntaxHighlighter* highlighter = nullptr;  // owned by the document
    LineNumbering* numbering = nullptr;      // owned by the editor
    BuildPanel* panel = nullptr;             // owned by the window
    RecentProjects* recent = nullptr;        // owned by its menu
    GoToDialog* goToLine = nullptr;          // owned by the window
    GoToDialog* goToBasicLine = nullptr;
    FindReplace* find = nullptr;             // owned by the window
    OutlinePanel* outline = nullptr;         // owned by the window
    QLabel* buildState = nullptr;            // "Build failed" until the next edit; owned by the status bar
    std::unique_ptr<LabelCommands> labels;
    QByteArray savedGeometry;                // from Options.ini, applied in place of the start size
    QByteArray savedState;                   // the docks' places and sizes
    std::unique_ptr<ProjectFiles> files;
    std::unique_ptr<BuildCommand> build;
    std::unique_ptr<CaretTracker> caret;     // reads the workspace, so it goes first
    std::function<bool()> closeHandler;
    ColourSchemeId scheme = ColourSchemeId::Classic;
    bool startSizeUnframed = false;  // applied before a window manager framed the window
    bool builtOnce = false;          // the build panel shows itself at the first build
    bool recolouring = false;        // a new scheme recolours the text; that is no edit
};

MainWindow::MainWindow(Dialogs& dialogs, const QString& programFolder, QWidget* parent)
    : MainWindow(dialogs, portableLayout(QFile::encodeName(programFolder).toStdString()), parent) {}

MainWindow::MainWindow(Dialogs& dialogs, const InstallLayout& layout, QWidget* parent)
    : QMainWindow(parent), parts_(std::make_unique<Parts>()) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Lintrel - ") +
                   QString::fromLatin1(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
    setAcceptDrops(true);

    Workspace& workspace = parts_->workspace;
    parts_->dialogs = &dialogs;
    workspace.window = this;
    workspace.dialogs = &dialogs;
    workspace.folders = ProgramFolders::from(layout);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->installEventFilter(this);  // the build panel takes room from it
    workspace.passBar = createBar(central, "ProgressBar1", kPassBarTop);
    workspace.stageBar = createBar(central, "ProgressBar2", kStageBarTop);
    parts_->editor = new CodeEditor(central);
    workspace.editor = parts_->editor;
    workspace.editor->move(0, kEditorTop);
    parts_->highlighter = new SyntaxHighlighter(workspace.editor->document());

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setFixedHeight(kStatusBarHeight);
    for (std::size_t i = 0; i < workspace.panels.size(); ++i) {
        const bool last = i == kPanelWidths.size();
        auto* label = new StatusPanel(last ? 0 : kPanelWidths[i],
                                      last ? StatusPanel::Fit::ShortenInTheMiddle : StatusPanel::Fit::Grow, statusBar());
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);  // so the panels read apart
        label->setIndent(3);
        statusBar()->addWidget(label, last ? 1 : 0);
        workspace.panels[i] = label;
    }

    parts_->files = std::make_unique<ProjectFiles>(workspace);
    parts_->build = std::make_unique<BuildCommand>(workspace, *parts_->files);
    parts_->caret = std::make_unique<CaretTracker>(workspace);
    parts_->caret->watchEditor();
    parts_->find = new FindReplace(workspace.editor, this);
    connect(parts_->find, &FindReplace::caretMoved, parts_->caret.get(), &CaretTracker::MemoSourceGetPos);
    parts_->numbering = new LineNumbering(workspace.editor, [this] { return spaceRemoval(); });
    createMenus();
    createBuildPanel();
    createOutline();
    createGoToDialogs();
    connectMenus();
    connectViewMenu();
    new EditorKeys(this, workspace.editor);  // owned by the editor
    connect(workspace.editor, &QPlainTextEdit::textChanged, this, &MainWindow::MemoSourceChange);
    connect(workspace.editor->document(), &QTextDocument::modificationChanged, this, [this](bool changed) {
        if (!changed && !parts_->recolouring) parts_->files->markUnchanged();
    });
    connect(parts_->numbering, &LineNumbering::mapChanged, parts_->editor, &CodeEditor::setBasicLineMap);
    connect(parts_->numbering, &LineNumbering::labelsChanged, parts_->editor, &CodeEditor::setLabelMarks);
    connect(parts_->numbering, &LineNumbering::labelsChanged, parts_->outline, &OutlinePanel::setLabels);
    // Every way the caret moves (a jump from a panel, a search, Go to line)
    // shows in the status bar, not only keys and clicks.
    connect(workspace.editor, &QPlainTextEdit::cursorPositionChanged, parts_->caret.get(), [this] {
        if (!parts_->workspace.editor->isHidden()) parts_->caret->MemoSourceGetPos();
    });
    connect(workspace.editor, &QPlainTextEdit::selectionChanged, parts_->caret.get(), [this] {
        if (!parts_->workspace.editor->isHidden()) parts_->caret->MemoSourceGetPos();
    });
    parts_->buildState = new QLabel(statusBar());
    parts_->buildState->setObjectName(QStringLiteral("BuildState"));
    parts_->buildState->setStyleSheet(QStringLiteral("color: rgb(190, 0, 0); font-weight: bold;"));
    statusBar()->addPermanentWidget(parts_->buildState);
    connect(workspace.editor->document(), &QTextDocument::undoCommandAdded, parts_->buildState, &QLabel::clear);
    workspace.projectFileUsed = [this](const QString& path) { parts_->recent->add(path); };
    workspace.reportBuild = [this](const BuildReport& report) { showBuild(report); };
    applyOptions(Options{});
    FormResize();
}

MainWindow::~MainWindow() {
    // The highlighter clears its colours when the document goes, which Qt
    // reports as a text change; nobody must hear it.
    disconnect(parts_->workspace.editor, nullptr, this, nullptr);
    disconnect(parts_->workspace.editor->document(), nullptr, this, nullptr);
    centralWidget()->removeEventFilter(this);
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    for (const MenuRow& row : kMenuBar) {
        if (row.kind == Kind::Separator) {
            bar->addSeparator();
        } else if (row.kind == Kind::Submenu) {
            bar->addMenu(QString::fromLatin1(row.caption))->setObjectName(QLatin1String(row.name));
        } else {
            auto* action = new QAction(QString::fromLatin1(row.caption), this);
            action->setObjectName(QLatin1String(row.name));
            action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
            bar->addAction(action);
        }
    }

    for (const MenuRow& row : kItems) {
        QMenu* menu = bar->findChild<QMenu*>(QLatin1String(row.menu));
        if (row.kind == Kind::Separator) {
            menu->addSeparator();
            continue;
        }
        if (row.kind == Kind::Submenu) {
            QMenu* submenu = menu->addMenu(QString::fromLatin1(row.caption));
            submenu->setObjectName(QLatin1String(row.name));
            submenu->menuAction()->setObjectName(QLatin1String(row.name));
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(row.caption));
        action->setObjectName(QLatin1String(row.name));
        action->setShortcuts(QKeySequence::listFromString(QLatin1String(row.shortcut)));
        action->setCheckable(row.kind == Kind::Checkable);
    }
    auto* schemes = new QActionGroup(this);
    for (const char* name : kSchemeItems) schemes->addAction(findChild<QAction*>(QLatin1String(name)));

    Workspace& workspace = parts_->workspace;
    // Save stays enabled: for a project without a file it opens Save As.
    workspace.save = findChild<QAction*>(QStringLiteral("Save1"));
    workspace.spaceRemoval = findChild<QAction*>(QStringLiteral("CB_RUSPACE"));
    workspace.buildDialogs = findChild<QAction*>(QStringLiteral("BuildDialogs1"));
    workspace.unusedLabels = findChild<QAction*>(QStringLiteral("UnusedLabels1"));
    parts_->recent = new RecentProjects(
        bar->findChild<QMenu*>(QStringLiteral("RecentProjects")), [this](const QString& path) { openProject(path); },
        [this](const QString& path) {
            parts_->dialogs->showError(
                this, QStringLiteral("\"%1\" no longer exists; it was removed from Recent projects.")
                          .arg(QDir::toNativeSeparators(path)));
        });
}

void MainWindow::connectMenus() {
    auto on = [this](const char* name, auto slot) {
        connect(findChild<QAction*>(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    QPlainTextEdit* editor = parts_->workspace.editor;
    on("New1", [this] { NewProject(); });
    on("Open1", [this] { BitBtnLOADClick(); });
    on("Import1", [this] { parts_->files->importFile(); });
    on("Save1", [this] { Save(); });
    on("SaveAS1", [this] { SaveAS(); });
    on("Exit1", [this] { close(); });
    QAction* undo = findChild<QAction*>(QStringLiteral("Undo1"));
    QAction* redo = findChild<QAction*>(QStringLiteral("Redo1"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(editor, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(editor, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
    on("Undo1", [editor] { editor->undo(); });
    on("Redo1", [editor] { editor->redo(); });
    on("Insert1", [this] { Insert1Click(); });
    on("Cut1", [editor] { editor->cut(); });
    on("Copy1", [editor] { editor->copy(); });
    on("Paste1", [editor] { editor->paste(); });
    on("SelectAll1", [editor] { editor->selectAll(); });
    FindReplace* find = parts_->find;
    on("Find1", [find] { find->SearchFindExecute(); });
    on("Replace1", [find] { find->Replace1Click(); });
    on("SearchNext1", [find] { find->SearchFindNextExecute(); });
    on("SearchPrevious1", [find] { find->SearchFindPreviousExecute(); });
    on("GoToDefinition1", [this] { parts_->labels->goToDefinition(); });
    on("FindReferences1", [this] { parts_->labels->findReferences(); });
    on("RenameLabel1", [this] { parts_->labels->renameLabel(); });
    on("GoToLine1", [this] { parts_->goToLine->present(); });
    on("GoToBasicLine1", [this] { parts_->goToBasicLine->present(); });
    on("COMPILE1", [this] { BitBtnCOMPILLEClick(); });
    // The space option decides whether a line of spaces is a program line.
    on("CB_RUSPACE", [this] { parts_->numbering->refreshNow(); });
    // Help1, MB_Whatsnew and About1 are connected by the lifecycle.
}

void MainWindow::connectViewMenu() {
    auto on = [this](const char* name, auto slot) {
        connect(findChild<QAction*>(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    CodeEditor* editor = parts_->editor;
    auto columns = [this, editor] {
        editor->setGutterColumns(findChild<QAction*>(QStringLiteral("LineNumbers1"))->isChecked(),
                                 findChild<QAction*>(QStringLiteral("BasicLineNumbers1"))->isChecked());
    };
    on("LineNumbers1", columns);
    on("BasicLineNumbers1", columns);
    on("ZoomIn1", [editor] { editor->zoomBy(1); });
    on("ZoomOut1", [editor] { editor->zoomBy(-1); });
    on("ZoomReset1", [editor] { editor->setZoom(Options::kDefaultZoom); });
    on("CurrentLine1", [editor](bool checked) { editor->setCurrentLineHighlight(checked); });
    for (std::size_t i = 0; i < kSchemeItems.size(); ++i)
        on(kSchemeItems[i], [this, i] { applyColourScheme(static_cast<ColourSchemeId>(i)); });
}

void MainWindow::createBuildPanel() {
    parts_->panel = new BuildPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, parts_->panel);
    parts_->panel->hide();
    QAction* item = findChild<QAction*>(QStringLiteral("BuildPanel1"));
    connect(item, &QAction::triggered, parts_->panel, &QWidget::setVisible);
    connect(parts_->panel, &QDockWidget::visibilityChanged, item, [this, item] {
        item->setChecked(parts_->panel->isVisibleTo(this));
    });
    connect(parts_->panel, &BuildPanel::placeChosen, parts_->editor, &CodeEditor::selectPlace);
}

void MainWindow::createOutline() {
    parts_->outline = new OutlinePanel(this);
    addDockWidget(Qt::RightDockWidgetArea, parts_->outline);
    parts_->outline->hide();
    QAction* item = findChild<QAction*>(QStringLiteral("Outline1"));
    connect(item, &QAction::triggered, this, [this](bool on) {
        parts_->outline->setVisible(on);
        if (on) resizeDocks({parts_->outline}, {kOutlineWidth}, Qt::Horizontal);
    });
    connect(parts_->outline, &QDockWidget::visibilityChanged, item, [this, item] {
        item->setChecked(parts_->outline->isVisibleTo(this));
    });
    connect(parts_->outline, &OutlinePanel::placeChosen, parts_->editor, &CodeEditor::selectPlace);
    const Workspace& workspace = parts_->workspace;
    parts_->labels = std::make_unique<LabelCommands>(
        workspace.editor, this, *parts_->dialogs, *parts_->panel, [this] { return parts_->numbering->labelsNow(); },
        [this](const QString& text) { parts_->workspace.say(text); });
    connect(parts_->editor, &CodeEditor::definitionRequested, this, [this] { parts_->labels->goToDefinition(); });
}

void MainWindow::createGoToDialogs() {
    CodeEditor* editor = parts_->editor;
    parts_->goToLine = new GoToDialog(this, QStringLiteral("GoToLineDialog"), QStringLiteral("Go to line"),
                                      QStringLiteral("&Line number:"),
                                      [editor](long long number) { return goToSourceLine(*editor, number); });
    parts_->goToBasicLine = new GoToDialog(
        this, QStringLiteral("GoToBasicLineDialog"), QStringLiteral("Go to BASIC line"),
        QStringLiteral("&BASIC line number, as the machine shows it:"), [this, editor](long long number) {
            // Exact for the text as it is now, even while a count is due.
            return goToBasicLine(*editor, parts_->numbering->mapNow(), number);
        });
}

// The build's verdict stays in the status bar until the next edit; its
// places are marked in the gutter until the next build.
void MainWindow::showBuild(const BuildReport& report) {
    const bool failed = report.error || !report.failure.isEmpty();
    parts_->buildState->setText(failed ? QStringLiteral("Build failed") : QString());
    std::vector<std::pair<int, CodeEditor::Mark>> marks;
    if (report.error && report.error->line >= 0) marks.emplace_back(report.error->line, CodeEditor::Mark::Error);
    for (const Diagnostic& warning : report.warnings) {
        if (warning.line >= 0) marks.emplace_back(warning.line, CodeEditor::Mark::Warning);
    }
    parts_->editor->setDiagnosticMarks(std::move(marks));
    parts_->panel->addBuild(report);
    if (parts_->builtOnce) return;
    parts_->builtOnce = true;
    parts_->panel->show();
    resizeDocks({parts_->panel}, {kBuildPanelHeight}, Qt::Vertical);
}

void MainWindow::applyColourScheme(ColourSchemeId scheme) {
    parts_->scheme = scheme;
    const ColourScheme& colours = colourScheme(scheme);
    findChild<QAction*>(QLatin1String(kSchemeItems[static_cast<std::size_t>(scheme)]))->setChecked(true);
    parts_->editor->setColourScheme(colours);
    parts_->recolouring = true;
    parts_->highlighter->setColours(colours.tokens);
    parts_->recolouring = false;
}

void MainWindow::applyOptions(const Options& options) {
    setSpaceRemoval(options.spaceRemoval);
    findChild<QAction*>(QStringLiteral("LineNumbers1"))->setChecked(options.lineNumbers);
    findChild<QAction*>(QStringLiteral("BasicLineNumbers1"))->setChecked(options.basicLineNumbers);
    parts_->editor->setGutterColumns(options.lineNumbers, options.basicLineNumbers);
    findChild<QAction*>(QStringLiteral("CurrentLine1"))->setChecked(options.currentLine);
    parts_->editor->setCurrentLineHighlight(options.currentLine);
    parts_->workspace.buildDialogs->setChecked(options.buildDialogs);
    parts_->workspace.unusedLabels->setChecked(options.unusedLabelWarnings);
    parts_->editor->setZoom(options.zoomPercent);
    applyColourScheme(options.colourScheme);
    QStringList recent;
    for (const std::string& path : options.recentProjects) recent << QString::fromStdString(path);
    parts_->recent->setPaths(recent);
    parts_->savedGeometry = QByteArray::fromBase64(QByteArray::fromStdString(options.windowGeometry));
    parts_->savedState = QByteArray::fromBase64(QByteArray::fromStdString(options.windowState));
}

Options MainWindow::windowOptions() const {
    Options options;
    options.spaceRemoval = spaceRemoval();
    options.lineNumbers = parts_->editor->showsLineNumbers();
    options.basicLineNumbers = parts_->editor->showsBasicLineNumbers();
    options.currentLine = parts_->editor->highlightsCurrentLine();
    options.buildDialogs = parts_->workspace.buildDialogs->isChecked();
    options.unusedLabelWarnings = parts_->workspace.unusedLabels->isChecked();
    options.zoomPercent = parts_->editor->zoom();
    options.colourScheme = parts_->scheme;
    for (const QString& path : parts_->recent->paths()) options.recentProjects.push_back(path.toStdString());
    options.windowGeometry = saveGeometry().toBase64().toStdString();
    options.windowState = saveState().toBase64().toStdString();
    return options;
}

// Stated for the outer size, frame included; positions never change. The
// frame is known only once the window is shown, so the minimum follows it.
// A shown build panel takes its height from the editor.
void MainWindow::FormResize() {
    const QSize outer = frameGeometry().size();
    const QSize minimum = kMinimumOuterSize - (outer - size());
    if (minimumSize() != minimum) setMinimumSize(minimum);
    const int width = outer.width() - kWidthAllowance;
    const Workspace& workspace = parts_->workspace;
    workspace.passBar->setGeometry(0, kPassBarTop, width, kBarHeight);
    workspace.stageBar->setGeometry(0, kStageBarTop, width, kBarHeight);
    int height = outer.height() - kHeightAllowance;
    if (parts_->panel && parts_->panel->isVisibleTo(this)) height = std::min(height, centralWidget()->height() - kEditorTop);
    workspace.editor->setGeometry(0, kEditorTop, width, std::max(0, height));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
    applyStartSizeOnceFramed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (parts_ && watched == centralWidget() && event->type() == QEvent::Resize) FormResize();
    return QMainWindow::eventFilter(watched, event);
}

// A window manager reports its frame only after it has taken the window,
// which moves it.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    applyStartSizeOnceFramed();
}

void MainWindow::applyStartSize() {
    // The size and place the window had when it was last closed, and its panels.
    if (!parts_->savedGeometry.isEmpty() && restoreGeometry(parts_->savedGeometry)) {
        parts_->startSizeUnframed = false;
        if (!parts_->savedState.isEmpty()) {
            restoreState(parts_->savedState);
            parts_->builtOnce = parts_->panel->isVisibleTo(this);
        }
        return;
    }
    const QSize frame = frameGeometry().size() - size();
    parts_->startSizeUnframed = frame.isEmpty();
    resize(kStartOuterSize - frame);
    if (QScreen* screen = this->screen()) {
        QRect outer = frameGeometry();
        outer.moveCenter(screen->availableGeometry().center());
        move(outer.topLeft());
    }
}

void MainWindow::applyStartSizeOnceFramed() {
    if (!parts_->startSizeUnframed || !isVisible()) return;
    if ((frameGeometry().size() - size()).isEmpty()) return;
    applyStartSize();  // clears the flag: the frame is known now
    FormResize();
}

// Colouring follows every change by itself; here the project becomes unsaved
// (or saved again, when undo brought back the text as saved) and, while the
// editor is shown, the caret panels follow.
void MainWindow::MemoSourceChange() {
    if (parts_->recolouring) return;
    if (parts_->workspace.editor->document()->isModified()) parts_->files->markChanged();
    else parts_->files->markUnchanged();
    if (!parts_->workspace.editor->isHidden()) parts_->caret->MemoSourceGetPos();
}

void MainWindow::NewProject() {
    parts_->files->NewProject();
    parts_->caret->MemoSourceGetPos();  // the new text was made with the editor hidden
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const DroppedProject dropped = droppedProject(*event->mimeData());
    event->acceptProposedAction();
    if (!dropped.problem.isEmpty()) {
        parts_->dialogs->showError(this, dropped.problem);
        return;
    }
    openProject(dropped.path);
}

void MainWindow::openFromArguments(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-'))) continue;
        openProject(QFileInfo(arguments[i]).absoluteFilePath());
        return;
    }
}

void MainWindow::BitBtnLOADClick() { parts_->files->BitBtnLOADClick(); }
void MainWindow::openProject(const QString& path) { parts_->files->openPath(path); }
bool MainWindow::Save() { return parts_->files->Save() == SaveOutcome::Written; }
bool MainWindow::SaveAS() { return parts_->files->SaveAS() == SaveOutcome::Written; }
void MainWindow::BitBtnCOMPILLEClick() {
    parts_->build->BitBtnCOMPILLEClick();
    parts_->numbering->refreshNow();
}
void MainWindow::Insert1Click() {
    parts_->caret->Insert1Click([this] { MemoSourceChange(); });
}
void MainWindow::MemoSourceGetPos() { parts_->caret->MemoSourceGetPos(); }

bool MainWindow::isSaved() const { return parts_->files->isSaved(); }
void MainWindow::setSaved(bool saved) { parts_->files->setSaved(saved); }
bool MainWindow::spaceRemoval() const { return parts_->workspace.spaceRemoval->isChecked(); }
void MainWindow::setSpaceRemoval(bool on) { parts_->workspace.spaceRemoval->setChecked(on); }

QPlainTextEdit* MainWindow::editor() const { return parts_->workspace.editor; }
CodeEditor* MainWindow::codeEditor() const { return parts_->editor; }
BuildPanel* MainWindow::buildPanel() const { return parts_->panel; }
OutlinePanel* MainWindow::outlinePanel() const { return parts_->outline; }
LineNumbering* MainWindow::lineNumbering() const { return parts_->numbering; }
RecentProjects* MainWindow::recentProjects() const { return parts_->recent; }
GoToDialog* MainWindow::goToLineDialog() const { return parts_->goToLine; }
GoToDialog* MainWindow::goToBasicLineDialog() const { return parts_->goToBasicLine; }
Dialogs& MainWindow::dialogs() const { return *parts_->dialogs; }
QString MainWindow::programFolder() const { return parts_->workspace.folders.program; }
const ProgramFolders& MainWindow::folders() const { return parts_->workspace.folders; }
QString MainWindow::projectPath() const { return parts_->files->projectPath(); }
QString MainWindow::statusText(int panel) const { return parts_->workspace.panel(panel); }
QString MainWindow::buildStateText() const { return parts_->buildState->text(); }
QProgressBar* MainWindow::passProgressBar() const { return parts_->workspace.passBar; }
QProgressBar* MainWindow::stageProgressBar() const { return parts_->workspace.stageBar; }

void MainWindow::showGeneralError(const QString& text) { parts_->workspace.showGeneralError(text); }

void MainWindow::setCloseHandler(std::function<bool()> handler) { parts_->closeHandler = std::move(handler); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (parts_->closeHandler && !parts_->closeHandler()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace lintrel
