// Placeholder start-up until the full sequence (settings, version check,
// What's new) lands: shows the window with a new project.
#include "lifecycle/startup.h"

#include <QApplication>

#include "editor/dialogs.h"
#include "editor/main_window.h"

namespace lintrel {

int runProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Lintrel");
    QtDialogs dialogs;
    MainWindow window(dialogs, QApplication::applicationDirPath());
    window.setSaved(true);
    window.NewProject();
    window.show();
    return QApplication::exec();
}

}  // namespace lintrel
