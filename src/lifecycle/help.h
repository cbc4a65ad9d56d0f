// The Help menu: user manual, What's new and About.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace lintrel {

class MainWindow;

struct HelpSettings {
    QString manualAddress;  // web page of the manual; empty: the manual shipped beside the program
    std::function<void(const QUrl&)> openUrl;  // the shell's "open"
};

// "About Lintrel" ... "Version: " + version ... maker line, CR LF between lines.
QString aboutText();

// About1Click: the About text in an information dialog.
void showAbout(MainWindow& window);

// MB_WhatsnewClick: WhatsNew.txt from the current folder, else from beside
// the executable or its shipped data folder (share/lintrel when installed), in a
// scrollable window; at most its first megabyte, with a note when it was
// cut. No file, or one that cannot be read, goes to the general error display.
// parent: null during start-up, when the window is not shown yet.
void showWhatsNew(MainWindow& window, QWidget* parent);

// Help1Click: the web page when one is configured, otherwise the shipped
// manual.md in a window of its own.
void showManual(MainWindow& window, const HelpSettings& settings);

// manual.md in the shipped data folder (beside the executable in a portable
// folder), else the one in the source tree (a build folder); empty when
// neither exists.
QString findManual(const QString& dataFolder);

// Connects "Help1", "MB_Whatsnew" and "About1" of the window's menu.
void connectHelpMenu(MainWindow& window, const HelpSettings& settings);

}  // namespace lintrel
