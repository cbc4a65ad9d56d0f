// The labels of the project as places to go: the outline (a dock listing
// every label in file order with its BASIC line number and how often it is
// referenced), go to definition, find references and rename.
#pragma once

#include <QDockWidget>
#include <QString>
#include <functional>
#include <memory>

#include "compiler/label_uses.h"

class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace lintrel {

class BuildPanel;
class Dialogs;

class OutlinePanel : public QDockWidget {
    Q_OBJECT
public:
    explicit OutlinePanel(QWidget* parent);

    // Rebuilt only while shown, and only when a label, its number or its
    // count changed.
    void setLabels(std::shared_ptr<const LabelUses> uses);
    QTreeWidget* list() const { return list_; }

signals:
    void placeChosen(int line, int column, int length, bool hasColumn);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill();

    QTreeWidget* list_;
    std::shared_ptr<const LabelUses> uses_;
    std::vector<LabelInfo> shown_;
    bool stale_ = false;
};

// The three commands on the label at the caret. `labels` gives the places
// for the text as it is now; `say` puts a short note in the status bar.
class LabelCommands {
public:
    LabelCommands(QPlainTextEdit* editor, QWidget* window, Dialogs& dialogs, BuildPanel& panel,
                  std::function<std::shared_ptr<const LabelUses>()> labels, std::function<void(const QString&)> say);

    void goToDefinition();  // F2, Ctrl+click
    void findReferences();  // Shift+F2
    void renameLabel();     // Ctrl+Shift+R

private:
    // The label at the caret; -1 (and a note said) when there is none.
    int labelAtCaret(const LabelUses& uses);
    void showPanel();

    QPlainTextEdit* editor_;
    QWidget* window_;
    Dialogs& dialogs_;
    BuildPanel& panel_;
    std::function<std::shared_ptr<const LabelUses>()> labels_;
    std::function<void(const QString&)> say_;
};

}  // namespace lintrel
