// New, Open, Save and Save As: the project path, the saved flag, status
// panels 2 and 3 and the enabled state of Save.
#pragma once

#include <QString>

#include "editor/workspace.h"

namespace lintrel {

enum class SaveOutcome {
    Written,    // the file now holds the editor text
    Cancelled,  // the user cancelled the dialog or declined to overwrite
    Failed,     // an error was shown; the old file is untouched
};

inline const QString kUnnamed = QStringLiteral("Unnamed");

class ProjectFiles {
public:
    explicit ProjectFiles(const Workspace& workspace);

    void NewProject();
    void BitBtnLOADClick();
    // Open without the file dialog (recent projects, the command line, a
    // dropped file): the unsaved question, then the file.
    void openPath(const QString& path);
    SaveOutcome Save();
    SaveOutcome SaveAS();

    // The text changed: the project needs saving.
    void markChanged();
    // Undo or redo brought back the text as it was opened or saved.
    void markUnchanged();

    bool isSaved() const { return saved_; }
    void setSaved(bool saved) { saved_ = saved; }
    // "Unnamed" while the project has no file.
    QString projectPath() const { return path_; }
    QString projectsFolder() const;

private:
    bool confirmDiscard();
    void openChosen(const QString& chosen);
    void markClean();
    bool load(const QString& path);
    SaveOutcome saveToPath();
    SaveOutcome write();

    const Workspace& workspace_;
    bool saved_ = false;
    QString path_ = kUnnamed;
};

}  // namespace lintrel
