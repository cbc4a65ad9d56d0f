// A real main window in a throw-away program folder (with Exports/ and
// Projects/), its dialogs answered by a script.
#pragma once

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <memory>

#include "editor/main_window.h"
#include "scripted_dialogs.h"

namespace lintrel::testing {

struct WindowFixture {
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    WindowFixture() {
        QDir(folder.path()).mkpath(QStringLiteral("Exports"));
        QDir(folder.path()).mkpath(QStringLiteral("Projects"));
        window = std::make_unique<MainWindow>(dialogs, folder.path());
        // As start-up leaves it: a saved new project.
        window->setSaved(true);
        window->NewProject();
    }

    QString path(const QString& name) const { return folder.filePath(name); }
    QPlainTextEdit* editor() const { return window->editor(); }
    QAction* action(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }

    static void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
    }
    static QByteArray readBytes(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }

    // Opens a project file through File > Open.
    void open(const QString& path) {
        dialogs.openAnswers.push_back(path);
        window->BitBtnLOADClick();
    }
    // Replaces the editor text as typing would (one undoable edit).
    void setText(const QString& text) {
        QTextCursor cursor(editor()->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(text);
    }
    QString line(int index) const { return editor()->document()->findBlockByNumber(index).text(); }
};

}  // namespace lintrel::testing
