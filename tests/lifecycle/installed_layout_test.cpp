// The window installed under a read-only prefix: the shipped files from
// share/lintrel, Options.ini in the config folder, Exports and Projects in
// the documents folder, nothing written beside the executable.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "editor/workspace.h"
#include "lifecycle/help.h"
#include "lifecycle_fixture.h"
#include "system/install_layout.h"

using namespace lintrel;
using namespace lintrel::testing;

class InstalledLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void installedWindowKeepsTheUsersFilesInTheHomeFolder() {
        QTemporaryDir root, current;
        const QString previousCurrent = QDir::currentPath();
        QDir::setCurrent(current.path());  // no WhatsNew.txt here
        const QDir usr(QDir(root.path()).filePath("usr"));
        QVERIFY(usr.mkpath("bin") && usr.mkpath("share/lintrel/examples/hl2") &&
                QDir(root.path()).mkpath("home/.config"));
        writeFile(usr.filePath("share/lintrel/WhatsNew.txt"), "Installed news\n");
        writeFile(usr.filePath("share/lintrel/manual.md"), "# Manual\n");
        writeFile(usr.filePath("share/lintrel/examples/hl2/hello.lpj"), "&P=HL2\r\nPRINT 1\r\n");
        const QString home = QDir(root.path()).filePath("home");
        writeFile(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");

        const InstallLayout layout = installedLayout(
            usr.filePath("bin").toStdString(), UserEnvironment{.home = home.toStdString(), .configHome = ""});
        QCOMPARE(createUserFolders(layout), std::nullopt);
        ScriptedDialogs dialogs;
        StartupEnvironment environment;
        {
            MainWindow window(dialogs, layout);
            QVERIFY(formCreate(window, environment));
            window.show();
            QCOMPARE(dialogs.texts, QStringList{"Installed news\r\n"});
            QCOMPARE(findManual(window.folders().data), usr.filePath("share/lintrel/manual.md"));

            window.BitBtnLOADClick();  // cancelled: only the start folder counts
            QCOMPARE(dialogs.openStartFolders, QStringList{home + "/Docs/Lintrel/Projects"});
            QVERIFY(QFile::exists(home + "/Docs/Lintrel/Projects/hl2/hello.lpj"));

            window.editor()->setPlainText("&P=BASIC\nPRINT 1");
            window.setSaved(true);
            window.BitBtnCOMPILLEClick();
            QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));
            QVERIFY(QFile::exists(home + "/Docs/Lintrel/Exports/Compiled_BASIC.bas"));
            QVERIFY(window.close());
        }
        QVERIFY(readFile(home + "/.config/lintrel/Options.ini").contains("SWVer=" + kVersion.toLatin1()));
        QCOMPARE(QDir(usr.filePath("bin")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QDir::setCurrent(previousCurrent);
    }
};

QTEST_MAIN(InstalledLayoutTest)
#include "installed_layout_test.moc"
