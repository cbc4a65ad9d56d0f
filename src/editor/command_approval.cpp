#include "editor/command_approval.h"

#include <QFile>
#include <algorithm>

#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "system/options_file.h"

namespace lintrel {

namespace {

std::filesystem::path toPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

void remember(const Workspace& workspace, const std::string& command) {
    const QString path = workspace.folders.optionsFile();
    auto file = IniFile::loadForUpdate(toPath(path));
    if (!file) {
        workspace.showGeneralError(QStringLiteral("Cannot read file \"%1\"; the command was not remembered.").arg(path));
        return;
    }
    Options options = readOptions(*file);
    options.approvedEmulatorCommands.push_back(command);
    storeOptions(*file, options);
    if (const auto error = saveIniFile(*file, toPath(path))) workspace.showGeneralError(QString::fromStdString(*error));
}

}  // namespace

QString visibleCommand(const std::string& command) {
    QString shown;
    for (const char c : command) {
        const QString character = textFromCodePage1250(std::string_view(&c, 1));
        const QChar::Category category = character.front().category();
        const bool hidden = (category == QChar::Other_Control && c != '\t') || category == QChar::Other_Format;
        if (hidden)
            shown += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
        else
            shown += character;
    }
    return shown;
}

QString commandWithFile(const QString& command, const QString& writtenFile) {
    if (!command.contains(kWrittenFilePlaceholder)) return command;
    QString quoted = writtenFile;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    quoted = QLatin1Char('\'') + quoted + QLatin1Char('\'');
    return QString(command).replace(kWrittenFilePlaceholder, quoted);
}

bool approveEmulatorCommand(const Workspace& workspace, const std::string& command, const QString& shown) {
    const Options options = readOptions(IniFile::load(toPath(workspace.folders.optionsFile())));
    const auto& approved = options.approvedEmulatorCommands;
    if (std::find(approved.begin(), approved.end(), command) != approved.end()) return true;
    const Dialogs::CommandAnswer answer = workspace.dialogs->askToRunCommand(workspace.window, shown);
    if (answer.run && answer.always) remember(workspace, command);
    return answer.run;
}

}  // namespace lintrel
