#include "editor/recent_projects.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace lintrel {

RecentProjects::RecentProjects(QMenu* menu, std::function<void(const QString&)> open,
                               std::function<void(const QString&)> vanished)
    : QObject(menu), menu_(menu), open_(std::move(open)), vanished_(std::move(vanished)) {
    fillMenu();
}

void RecentProjects::setPaths(const QStringList& paths) {
    paths_.clear();
    for (const QString& path : paths) {
        if (!path.isEmpty() && !paths_.contains(path) && paths_.size() < kKept) paths_ << path;
    }
    fillMenu();
}

void RecentProjects::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > kKept) paths_.removeLast();
    fillMenu();
}

// Checked when chosen, not when listed: a file on a drive that comes and
// goes keeps its place until the user picks it while it is gone.
void RecentProjects::choose(const QString& path) {
    if (QFileInfo(path).isFile()) {
        open_(path);
        return;
    }
    paths_.removeAll(path);
    fillMenu();
    vanished_(path);
}

// The old items go later: one of them may be the item being chosen.
void RecentProjects::fillMenu() {
    for (QAction* old : menu_->actions()) {
        menu_->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    for (int i = 0; i < paths_.size(); ++i) {
        const QString path = paths_[i];
        QAction* action =
            menu_->addAction(QStringLiteral("&%1  %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] { choose(path); });
    }
    menu_->menuAction()->setEnabled(!paths_.isEmpty());
}

}  // namespace lintrel
