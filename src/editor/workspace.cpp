#include "editor/workspace.h"

#include <QLabel>

#include "editor/dialogs.h"

namespace lintrel {

void Workspace::setPanel(int index, const QString& text) const { panels[static_cast<std::size_t>(index)]->setText(text); }

QString Workspace::panel(int index) const {
    if (index < 0 || index >= static_cast<int>(panels.size())) return {};
    return panels[static_cast<std::size_t>(index)]->text();
}

void Workspace::showGeneralError(const QString& text) const { dialogs->showError(window, text); }

}  // namespace lintrel
