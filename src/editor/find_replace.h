// Find, Replace and Search Next over the editor text: two modeless dialogs
// sharing one find text, one replace text and one search position.
#pragma once

#include <QObject>

class QDialog;
class QPlainTextEdit;
class QWidget;

namespace lintrel {

class FindReplace : public QObject {
    Q_OBJECT
public:
    FindReplace(QPlainTextEdit* editor, QWidget* dialogParent);
    ~FindReplace() override;

public slots:
    void SearchFindExecute();      // Search > Find..., Ctrl+F
    void Replace1Click();          // Search > Replace..., Ctrl+R
    void SearchFindNextExecute();  // Search > Search Next, F3
    void SearchFindPreviousExecute();  // Search > Find Previous, Shift+F3

signals:
    // A search or a replacement moved the selection.
    void caretMoved();

public:
    // For tests: the dialogs (children named as in find_dialogs.h) and the
    // character index from which the next search starts.
    QDialog* findDialog() const;
    QDialog* replaceDialog() const;
    int searchPosition() const;

private:
    struct State;
    State* state_;
};

}  // namespace lintrel
