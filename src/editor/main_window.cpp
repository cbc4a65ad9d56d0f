#include "editor/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>
#include <array>
#include <memory>

#include "editor/build_command.h"
#include "editor/caret_tracker.h"
#include "editor/dialogs.h"
#include "editor/find_replace.h"
#include "editor/project_files.h"
#include "editor/syntax_highlighter.h"
#include "system/version.h"

namespace lintrel {

namespace {

// One row per menu entry, in menu order; a row without a name is a separator.
struct MenuRow {
    const char* menu;      // object name of the menu
    const char* name;      // object name of the item
    const char* caption;
    const char* shortcut;  // empty: none
};

constexpr std::array<MenuRow, 5> kMenus = {{
    {"File1", nullptr, "File", ""},
    {"Edit1", nullptr, "Edit", ""},
    {"Search", nullptr, "Search", ""},
    {"Options1", nullptr, "Options", ""},
    {"H1", nullptr, "Help", ""},
}};

constexpr std::array<MenuRow, 20> kItems = {{
    {"File1", "New1", "New", "Ctrl+N"},
    {"File1", "Open1", "Open", "Ctrl+O"},
    {"File1", nullptr, nullptr, ""},
    {"File1", "Save1", "Save", "Ctrl+S"},
    {"File1", "SaveAS1", "Save As...", ""},
    {"Edit1", "Insert1", "Insert {..}", "Ctrl+I"},
    {"Edit1", nullptr, nullptr, ""},
    {"Edit1", "Cut1", "Cut", "Ctrl+X"},
    {"Edit1", "Copy1", "Copy", "Ctrl+C"},
    {"Edit1", "Paste1", "Paste", "Ctrl+V"},
    {"Edit1", nullptr, nullptr, ""},
    {"Edit1", "SelectAll1", "Select All", "Ctrl+A"},
    {"Search", "Find1", "Find...", "Ctrl+F"},
    {"Search", "Replace1", "Replace...", "Ctrl+R"},
    {"Search", "SearchNext1", "Search Next", "F3"},
    {"Options1", "CB_RUSPACE", "Removing unnecessary SPACEs", ""},
    {"H1", "Help1", "User manual", "F1"},
    {"H1", "MB_Whatsnew", "What's in the new version", ""},
    {"H1", nullptr, nullptr, ""},
    {"H1", "About1", "About", ""},
}};

constexpr std::array<int, 3> kPanelWidths = {160, 200, 60};
constexpr int kBarHeight = 9;
constexpr int kEditorTop = 16;
constexpr int kStatusBarHeight = 19;
constexpr int kFontPixels = 19;
constexpr double kTabStopPoints = 100.0;

QFont editorFont() {
    QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                     ? QFont(QStringLiteral("Courier New"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    font.setPixelSize(kFontPixels);
    return font;
}

QPlainTextEdit* createEditor(QWidget* parent) {
    auto* editor = new QPlainTextEdit(parent);
    editor->setObjectName(QStringLiteral("MemoSource"));
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setTabChangesFocus(false);
    editor->setFont(editorFont());
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    editor->setPalette(palette);
    editor->setTabStopDistance(kTabStopPoints * editor->logicalDpiX() / 72.0);
    return editor;
}

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
            return action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed;
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

}  // namespace

struct MainWindow::Parts {
    Dialogs* dialogs = nullptr;
    Workspace workspace;
    std::unique_ptr<ProjectFiles> files;
    std::unique_ptr<BuildCommand> build;
    CaretTracker* caret = nullptr;
    FindReplace* find = nullptr;
    std::function<bool()> closeHandler;
    bool startSizeUnframed = false;  // applied before a window manager framed the window
};

MainWindow::MainWindow(Dialogs& dialogs, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), parts_(new Parts) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Lintrel - ") +
                   QString::fromLatin1(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
    setMinimumSize(640, 480);

    Workspace& workspace = parts_->workspace;
    parts_->dialogs = &dialogs;
    workspace.window = this;
    workspace.dialogs = &dialogs;
    workspace.programFolder = programFolder;

    auto* central = new QWidget(this);
    setCentralWidget(central);
    workspace.passBar = createBar(central, "ProgressBar1", 0);
    workspace.stageBar = createBar(central, "ProgressBar2", 8);
    workspace.editor = createEditor(central);
    workspace.editor->move(0, kEditorTop);
    new SyntaxHighlighter(workspace.editor->document());  // owned by the document

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setFixedHeight(kStatusBarHeight);
    for (std::size_t i = 0; i < workspace.panels.size(); ++i) {
        auto* label = new QLabel(statusBar());
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);  // so the panels read apart
        label->setIndent(3);
        if (i < kPanelWidths.size()) label->setFixedWidth(kPanelWidths[i]);
        statusBar()->addWidget(label, i < kPanelWidths.size() ? 0 : 1);
        workspace.panels[i] = label;
    }

    parts_->files = std::make_unique<ProjectFiles>(workspace);
    parts_->build = std::make_unique<BuildCommand>(workspace, *parts_->files);
    parts_->caret = new CaretTracker(workspace);
    parts_->caret->watchEditor();
    parts_->find = new FindReplace(workspace.editor, this);
    createMenus();
    new EditorKeys(this, workspace.editor);  // owned by the editor
    connect(workspace.editor, &QPlainTextEdit::textChanged, this, &MainWindow::MemoSourceChange);
    FormResize();
}

MainWindow::~MainWindow() {
    // The highlighter clears its colours when the document goes, which Qt
    // reports as a text change; nobody must hear it.
    disconnect(parts_->workspace.editor, nullptr, this, nullptr);
    delete parts_->caret;  // it reads the workspace that goes with parts_
    delete parts_;
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const MenuRow& row) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(row.caption));
        menu->setObjectName(QLatin1String(row.menu));
    };
    addMenu(kMenus[0]);
    addMenu(kMenus[1]);
    addMenu(kMenus[2]);
    bar->addSeparator();
    auto* compile = new QAction(QStringLiteral("COMPILE  (F12)"), this);
    compile->setObjectName(QStringLiteral("COMPILE1"));
    compile->setShortcut(QKeySequence(Qt::Key_F12));
    bar->addAction(compile);
    bar->addSeparator();
    addMenu(kMenus[3]);
    addMenu(kMenus[4]);

    for (const MenuRow& row : kItems) {
        QMenu* menu = bar->findChild<QMenu*>(QLatin1String(row.menu), Qt::FindDirectChildrenOnly);
        if (!row.name) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(row.caption));
        action->setObjectName(QLatin1String(row.name));
        if (*row.shortcut) action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
    }

    Workspace& workspace = parts_->workspace;
    workspace.save = findChild<QAction*>(QStringLiteral("Save1"));
    workspace.save->setEnabled(false);
    workspace.spaceRemoval = findChild<QAction*>(QStringLiteral("CB_RUSPACE"));
    workspace.spaceRemoval->setCheckable(true);
    workspace.spaceRemoval->setChecked(true);

    auto on = [this](const char* name, auto slot) {
        connect(findChild<QAction*>(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    QPlainTextEdit* editor = workspace.editor;
    on("New1", [this] { NewProject(); });
    on("Open1", [this] { BitBtnLOADClick(); });
    on("Save1", [this] { Save(); });
    on("SaveAS1", [this] { SaveAS(); });
    on("Insert1", [this] { Insert1Click(); });
    on("Cut1", [editor] { editor->cut(); });
    on("Copy1", [editor] { editor->copy(); });
    on("Paste1", [editor] { editor->paste(); });
    on("SelectAll1", [editor] { editor->selectAll(); });
    FindReplace* find = parts_->find;
    on("Find1", [find] { find->SearchFindExecute(); });
    on("Replace1", [find] { find->Replace1Click(); });
    on("SearchNext1", [find] { find->SearchFindNextExecute(); });
    on("COMPILE1", [this] { BitBtnCOMPILLEClick(); });
    // Help1, MB_Whatsnew and About1 are connected by the lifecycle.
}

// Stated for the outer size, frame included; positions never change. The
// frame is known only once the window is shown, so the minimum follows it.
void MainWindow::FormResize() {
    const QSize outer = frameGeometry().size();
    const QSize minimum = QSize(640, 480) - (outer - size());
    if (minimumSize() != minimum) setMinimumSize(minimum);
    const int width = outer.width() - 20;
    const Workspace& workspace = parts_->workspace;
    workspace.passBar->setGeometry(0, 0, width, kBarHeight);
    workspace.stageBar->setGeometry(0, 8, width, kBarHeight);
    workspace.editor->setGeometry(0, kEditorTop, width, outer.height() - 94);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
    applyStartSizeOnceFramed();
}

// A window manager reports its frame only after it has taken the window,
// which moves it.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    applyStartSizeOnceFramed();
}

void MainWindow::applyStartSize() {
    const QSize frame = frameGeometry().size() - size();
    parts_->startSizeUnframed = frame.isEmpty();
    resize(QSize(1024, 640) - frame);
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
// and, while the editor is shown, the caret panels follow.
void MainWindow::MemoSourceChange() {
    parts_->files->markChanged();
    if (!parts_->workspace.editor->isHidden()) parts_->caret->MemoSourceGetPos();
}

void MainWindow::NewProject() { parts_->files->NewProject(); }
void MainWindow::BitBtnLOADClick() { parts_->files->BitBtnLOADClick(); }
bool MainWindow::Save() { return parts_->files->Save() == SaveOutcome::Written; }
bool MainWindow::SaveAS() { return parts_->files->SaveAS() == SaveOutcome::Written; }
void MainWindow::BitBtnCOMPILLEClick() { parts_->build->BitBtnCOMPILLEClick(); }
void MainWindow::Insert1Click() {
    parts_->caret->Insert1Click([this] { MemoSourceChange(); });
}
void MainWindow::MemoSourceGetPos() { parts_->caret->MemoSourceGetPos(); }

bool MainWindow::isSaved() const { return parts_->files->isSaved(); }
void MainWindow::setSaved(bool saved) { parts_->files->setSaved(saved); }
bool MainWindow::spaceRemoval() const { return parts_->workspace.spaceRemoval->isChecked(); }
void MainWindow::setSpaceRemoval(bool on) { parts_->workspace.spaceRemoval->setChecked(on); }

QPlainTextEdit* MainWindow::editor() const { return parts_->workspace.editor; }
Dialogs& MainWindow::dialogs() const { return *parts_->dialogs; }
QString MainWindow::programFolder() const { return parts_->workspace.programFolder; }
QString MainWindow::projectPath() const { return parts_->files->projectPath(); }
QString MainWindow::statusText(int panel) const { return parts_->workspace.panel(panel); }
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
