// Go to line and Go to BASIC line: a small modeless dialog that takes a
// number and either moves the caret and closes, or says in a line of its own
// why it cannot.
#pragma once

#include <QDialog>
#include <functional>

#include "compiler/line_map.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace lintrel {

class GoToDialog : public QDialog {
    Q_OBJECT
public:
    // go: carries out the jump to the number typed; returns the message to
    // show instead when there is nowhere to go.
    using Go = std::function<QString(long long number)>;
    GoToDialog(QWidget* parent, const QString& name, const QString& title, const QString& prompt, Go go);

    // Shows the dialog with its field selected and the last message cleared.
    void present();
    QLineEdit* field() const { return field_; }
    QString message() const;

    void accept() override;

private:
    QLineEdit* field_;
    QLabel* message_;
    Go go_;
};

// Put the caret at the start of line `number` (from 1), or of the source line
// that makes BASIC line `number` (the line before it when no line has that
// number). The result is the message for the dialog when there is no such
// line, else empty.
QString goToSourceLine(QPlainTextEdit& editor, long long number);
QString goToBasicLine(QPlainTextEdit& editor, const BasicLineMap& map, long long number);

}  // namespace lintrel
