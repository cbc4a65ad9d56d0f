// The build panel: a dock at the bottom of the window with one entry per
// build, newest last, its warnings beneath it; errors and warnings with
// their own icons and colours. Find references adds its list the same way. Activating an entry (double
// click or Enter) asks for the caret to go to its place.
#pragma once

#include <QDockWidget>

#include "editor/build_report.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace lintrel {

class BuildPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit BuildPanel(QWidget* parent);

    void addBuild(const BuildReport& report);

    // One entry per find references: "References to \name: N", a row
    // beneath it for each place, "line:column: text of the line".
    struct Place {
        int line = 0;  // 0-based
        int column = 0;
        int length = 0;
        QString text;  // the line
    };
    void addReferences(const QString& title, const std::vector<Place>& places);
    QTreeWidget* list() const { return list_; }

    // The oldest entries go once there are more.
    static constexpr int kKeptBuilds = 1000;

    // The text of an entry as the panel shows it.
    static QString buildText(const BuildReport& report);
    static QString diagnosticText(const Diagnostic& diagnostic);

signals:
    // 0-based line and column, as the build reports them.
    void placeChosen(int line, int column, int length, bool hasColumn);

private:
    void activate(QTreeWidgetItem* item);

    QTreeWidget* list_;
};

}  // namespace lintrel
