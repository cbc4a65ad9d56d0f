// One run of the program in temporary folders: a program folder (Options.ini,
// manual.md) and a current folder (WhatsNew.txt, Lintrel.zip), the real
// window with scripted dialogs, and a recording shell "open".
#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "editor/main_window.h"
#include "editor/scripted_dialogs.h"
#include "lifecycle/startup.h"

namespace lintrel::testing {

inline const QString kVersion = QStringLiteral("v1.7.1b - test version");
inline const QString kWhatsNewText = QStringLiteral("Lintrel news\nSecond line\n");

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct LifecycleFixture {
    QTemporaryDir programFolder, currentFolder;
    const QString previousCurrent = QDir::currentPath();
    ScriptedDialogs dialogs;
    QList<QUrl> opened;
    StartupEnvironment environment;
    std::unique_ptr<MainWindow> window;

    LifecycleFixture() {
        QDir::setCurrent(currentFolder.path());
        writeFile(inCurrent("WhatsNew.txt"), kWhatsNewText.toUtf8());
        environment.openUrl = [this](const QUrl& url) { opened << url; };
        // A server that keeps a test waiting fails it soon.
        environment.updateLimits.answerDeadlineMs = 3000;
        environment.updateLimits.downloadDeadlineMs = 3000;
    }
    ~LifecycleFixture() {
        window.reset();
        QDir::setCurrent(previousCurrent);
    }

    QString inProgram(const QString& name) const { return QDir(programFolder.path()).filePath(name); }
    QString inCurrent(const QString& name) const { return QDir(currentFolder.path()).filePath(name); }
    QString optionsFile() const { return inProgram("Options.ini"); }
    void writeOptions(const QByteArray& text) { writeFile(optionsFile(), text); }
    QByteArray options() const { return readFile(optionsFile()); }

    // Creates the window and runs the start-up sequence; shows the window
    // when start-up went on, as the program does.
    bool start() {
        window.reset();
        window = std::make_unique<MainWindow>(dialogs, programFolder.path());
        const bool goesOn = formCreate(*window, environment);
        if (goesOn) window->show();
        return goesOn;
    }

    // Types into the editor, so the project has unsaved changes.
    void edit(const QString& line) {
        window->editor()->appendPlainText(line);
        window->setSaved(false);
    }
};

}  // namespace lintrel::testing
