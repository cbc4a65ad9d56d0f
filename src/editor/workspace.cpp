#include "editor/workspace.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "editor/dialogs.h"
#include "system/install_layout.h"

namespace lintrel {

namespace {

constexpr int kNoteMilliseconds = 8000;

QString qtPath(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

}  // namespace

ProgramFolders ProgramFolders::from(const InstallLayout& layout) {
    return {.program = qtPath(layout.programFolder),
            .data = qtPath(layout.dataFolder),
            .settings = qtPath(layout.settingsFolder),
            .exports = qtPath(layout.exportsFolder),
            .projects = qtPath(layout.projectsFolder)};
}

QString ProgramFolders::optionsFile() const { return QDir(settings).filePath(QStringLiteral("Options.ini")); }

void Workspace::setPanel(int index, const QString& text) const { panels[static_cast<std::size_t>(index)]->setText(text); }

QString Workspace::panel(int index) const {
    if (index < 0 || index >= static_cast<int>(panels.size())) return {};
    return panels[static_cast<std::size_t>(index)]->text();
}

void Workspace::showGeneralError(const QString& text) const { dialogs->showError(window, text); }

void Workspace::say(const QString& text) const {
    if (auto* main = qobject_cast<QMainWindow*>(window)) main->statusBar()->showMessage(text, kNoteMilliseconds);
}

}  // namespace lintrel
