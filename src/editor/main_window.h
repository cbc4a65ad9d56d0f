// The one window: menus, editor, progress bars, status bar and build panel.
// The window is wiring; the features live in their own classes.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

class QPlainTextEdit;
class QProgressBar;

namespace lintrel {

class BuildPanel;
class CodeEditor;
class Dialogs;
class GoToDialog;
class LineNumbering;
class OutlinePanel;
class RecentProjects;
enum class ColourSchemeId;
struct BuildReport;
struct InstallLayout;
struct Options;
struct ProgramFolders;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The folders of the layout Lintrel runs in: where Options.ini,
    // Exports/, Projects/ and the shipped files are.
    MainWindow(Dialogs& dialogs, const InstallLayout& layout, QWidget* parent = nullptr);
    // A portable folder: everything in programFolder.
    MainWindow(Dialogs& dialogs, const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Project file commands; Save and SaveAS return true when the file was written.
    void NewProject();
    void BitBtnLOADClick();
    bool Save();
    bool SaveAS();
    // Opens a file by its path, as Open does once a file is chosen.
    void openProject(const QString& path);
    // `lintrel FILE`: the first argument after the program's name that is
    // not an option.
    void openFromArguments(const QStringList& arguments);
    // F12.
    void BitBtnCOMPILLEClick();

    bool isSaved() const;
    void setSaved(bool saved);
    bool spaceRemoval() const;
    void setSpaceRemoval(bool on);

    // The window's part of Options.ini: the space option, the view, the
    // build dialogs and the recent projects.
    void applyOptions(const Options& options);
    Options windowOptions() const;

    QPlainTextEdit* editor() const;
    CodeEditor* codeEditor() const;
    BuildPanel* buildPanel() const;
    OutlinePanel* outlinePanel() const;
    LineNumbering* lineNumbering() const;
    RecentProjects* recentProjects() const;
    GoToDialog* goToLineDialog() const;
    GoToDialog* goToBasicLineDialog() const;
    Dialogs& dialogs() const;
    QString programFolder() const;
    const ProgramFolders& folders() const;

    // The general error display: an error box titled "Lintrel".
    void showGeneralError(const QString& text);

    // Asked when the user closes the window; false keeps it open.
    void setCloseHandler(std::function<bool()> handler);

    // Edit and Options commands.
    void Insert1Click();
    // Records the caret and refreshes status panels 0 and 1.
    void MemoSourceGetPos();

    // The project path; "Unnamed" while the project has no file.
    QString projectPath() const;
    // Status panel 0 to 3.
    QString statusText(int panel) const;
    // "Build failed" from a failed build until the next edit; else empty.
    QString buildStateText() const;
    QProgressBar* passProgressBar() const;   // ProgressBar1
    QProgressBar* stageProgressBar() const;  // ProgressBar2

    // The size, place and panels kept in Options.ini; without them 1024 x
    // 640 outer size, centred on the window's screen. Before the window is
    // first shown its frame is not known yet; the size is applied once more
    // when a window manager has added one.
    void applyStartSize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void connectMenus();
    void connectViewMenu();
    void createBuildPanel();
    void createGoToDialogs();
    void createOutline();
    void FormResize();
    void applyStartSizeOnceFramed();
    void MemoSourceChange();
    void applyColourScheme(ColourSchemeId scheme);
    void showBuild(const BuildReport& report);

    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace lintrel
