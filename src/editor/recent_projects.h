// File > Recent projects: the last projects opened or saved, newest first,
// as a submenu whose items open them.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMenu;

namespace lintrel {

class RecentProjects : public QObject {
    Q_OBJECT
public:
    // open: runs for a chosen item whose file still exists; vanished: for one
    // that does not (it has left the list by then).
    RecentProjects(QMenu* menu, std::function<void(const QString&)> open,
                   std::function<void(const QString&)> vanished);

    void setPaths(const QStringList& paths);
    QStringList paths() const { return paths_; }
    // The project was opened or saved: it goes to the top.
    void add(const QString& path);

    static constexpr int kKept = 8;

private:
    void choose(const QString& path);
    void fillMenu();

    QMenu* menu_;
    QStringList paths_;
    std::function<void(const QString&)> open_;
    std::function<void(const QString&)> vanished_;
};

}  // namespace lintrel
