#include "lifecycle/startup.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include "editor/dialogs.h"
#include "editor/main_window.h"
#include "editor/workspace.h"
#include "lifecycle/help.h"
#include "lifecycle/update_check.h"
#include "system/file_system.h"
#include "system/install_layout.h"
#include "system/options_file.h"
#include "system/version.h"

#ifndef LINTREL_UPDATE_SERVER
#define LINTREL_UPDATE_SERVER ""
#endif
#ifndef LINTREL_MANUAL_ADDRESS
#define LINTREL_MANUAL_ADDRESS ""
#endif

// The icon lives in a resource of the static library; naming its
// initialiser keeps the linker from dropping it. Must be outside any namespace.
static void initialiseResources() { Q_INIT_RESOURCE(lifecycle); }

namespace lintrel {

namespace {

constexpr char kCloseQuestion[] = "The project is not saved. Would you like to save now?";

std::filesystem::path toPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

QString settingOr(const std::optional<std::string>& stored, const QString& fallback) {
    return stored ? QString::fromStdString(*stored) : fallback;
}

void writeSettings(MainWindow& window) {
    const QString path = window.folders().optionsFile();
    auto file = IniFile::loadForUpdate(toPath(path));
    if (!file) {
        window.showGeneralError(QStringLiteral("Cannot read file \"%1\"; the settings were not saved.").arg(path));
        return;
    }
    Options options = window.windowOptions();
    options.storedVersion = std::string(kProgramVersion);
    storeOptions(*file, options);
    if (const auto error = saveIniFile(*file, toPath(path))) window.showGeneralError(QString::fromStdString(*error));
}

// Copies what `from` holds into `to`, never over a file that is there.
// Returns the files that could not be copied.
QStringList copyMissingFiles(const QString& from, const QString& to) {
    QStringList failed;
    QDirIterator files(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        if (QFileInfo::exists(target)) continue;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target)) failed << target;
    }
    return failed;
}

// On a first start with an empty Projects/, the shipped examples are offered
// there, so the file dialogs open on something to try.
void offerExamples(MainWindow& window, const Options& options) {
    if (!options.storedVersion.empty()) return;
    const QDir projects(window.folders().projects);
    const QString examples = QDir(window.folders().data).filePath(QStringLiteral("examples"));
    if (!projects.exists() || !QFileInfo(examples).isDir()) return;
    if (!projects.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) return;
    if (!window.dialogs().askYesNo(nullptr, QStringLiteral("The Projects folder is empty. Copy the example projects "
                                                           "into it?")))
        return;
    const QStringList failed = copyMissingFiles(examples, projects.path());
    if (!failed.isEmpty())
        window.showGeneralError(QStringLiteral("Cannot copy the example \"%1\" into the Projects folder.").arg(failed.front()));
}

}  // namespace

StartupEnvironment StartupEnvironment::fromBuild() {
    StartupEnvironment environment;
    environment.updateServer = QStringLiteral(LINTREL_UPDATE_SERVER);
    environment.manualAddress = QStringLiteral(LINTREL_MANUAL_ADDRESS);
    environment.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return environment;
}

bool formCreate(MainWindow& window, const StartupEnvironment& environment) {
    // Read before the version check only because the server address is a
    // setting; the values take effect after it, in the usual order.
    const Options options = readOptions(IniFile::load(toPath(window.folders().optionsFile())));
    const UpdateCheck check{settingOr(options.updateServer, environment.updateServer), environment.updateLimits,
                            environment.openUrl};
    // The window is not shown yet, so the dialogs of start-up have no owner.
    if (!checkVersion(check, window.dialogs(), nullptr)) return false;

    window.applyOptions(options);
    if (options.storedVersion != kProgramVersion) showWhatsNew(window, nullptr);
    offerExamples(window, options);
    window.applyStartSize();
    // The token code table is built into the compiler and the window sets the
    // editor's tab stop itself.
    window.setSaved(true);
    window.NewProject();

    connectHelpMenu(window, HelpSettings{settingOr(options.manualAddress, environment.manualAddress),
                                         environment.openUrl});
    window.setCloseHandler([&window] { return formClose(window); });
    return true;
}

bool formClose(MainWindow& window) {
    // Cancel (also Escape) keeps the window open and changes nothing; only
    // No closes without saving.
    if (!window.isSaved()) {
        const Dialogs::Answer answer = window.dialogs().askYesNoCancel(&window, QString::fromLatin1(kCloseQuestion));
        if (answer == Dialogs::Answer::Cancel) return false;
        if (answer == Dialogs::Answer::No) window.setSaved(true);
    }
    // Yes, but the project was not written (Save As cancelled, overwrite
    // declined, write failed): stay open rather than lose the work.
    if (!window.isSaved() && !window.Save()) return false;
    writeSettings(window);
    return true;
}

int runProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lintrel"));
    initialiseResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) icon.addFile(QStringLiteral(":/lintrel/lintrel-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QtDialogs dialogs;
    const InstallLayout layout = findInstallLayout(executableFolder(), UserEnvironment::fromProcess());
    MainWindow window(dialogs, layout);
    if (const auto error = createUserFolders(layout)) window.showGeneralError(QString::fromStdString(*error));
    if (!formCreate(window, StartupEnvironment::fromBuild())) return 0;
    window.openFromArguments(QApplication::arguments());
    window.show();
    return QApplication::exec();
}

}  // namespace lintrel
