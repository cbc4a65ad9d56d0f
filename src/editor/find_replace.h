// Find, Replace and Search Next over the editor text: two modeless dialogs
// sharing one find text, one replace text and one search position.
#pragma once

#include <QObject>

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

private:
    struct State;
    State* state_;
};

}  // namespace lintrel
