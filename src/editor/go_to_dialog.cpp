#include "editor/go_to_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTextBlock>
#include <QVBoxLayout>

#include "editor/project_codec.h"

namespace lintrel {

GoToDialog::GoToDialog(QWidget* parent, const QString& name, const QString& title, const QString& prompt,
                       Go go)
    : QDialog(parent), field_(new QLineEdit(this)), message_(new QLabel(this)), go_(std::move(go)) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setBuddy(field_);
    field_->setObjectName(QStringLiteral("number"));
    // Digits only; ten are enough for the largest line number any machine takes.
    field_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), field_));
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Go"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
    layout->addWidget(label);
    layout->addWidget(field_);
    layout->addWidget(message_);
    layout->addWidget(buttons);
}

void GoToDialog::present() {
    message_->clear();
    show();
    raise();
    activateWindow();
    field_->setFocus();
    field_->selectAll();
}

QString GoToDialog::message() const {
    return message_->text();
}

void GoToDialog::accept() {
    bool ok = false;
    const long long number = field_->text().toLongLong(&ok);
    if (!ok) {
        message_->setText(QStringLiteral("Type a line number."));
        return;
    }
    const QString problem = go_(number);
    if (!problem.isEmpty()) {
        message_->setText(problem);
        field_->selectAll();
        return;
    }
    QDialog::accept();
}

namespace {

void putCaretOnLine(QPlainTextEdit& editor, int line) {
    QTextCursor cursor(editor.document()->findBlockByNumber(line));
    editor.setTextCursor(cursor);
    editor.centerCursor();
    editor.setFocus();
}

}  // namespace

QString goToSourceLine(QPlainTextEdit& editor, long long number) {
    const int lines = editor.document()->blockCount();
    if (number < 1 || number > lines) return QStringLiteral("The project has lines 1 to %1.").arg(lines);
    putCaretOnLine(editor, static_cast<int>(number - 1));
    return {};
}

QString goToBasicLine(QPlainTextEdit& editor, const BasicLineMap& map, long long number) {
    const BasicLinePlace place = findBasicLine(map, number);
    if (place.sourceLine) {
        putCaretOnLine(editor, *place.sourceLine);
        return {};
    }
    QString stop;
    if (map.error)
        stop = QStringLiteral(" The numbering stops at line %1: %2")
                   .arg(map.error->line + 1)
                   .arg(textFromCodePage1250(map.error->message));
    if (place.first == kNoBasicLine)
        return QStringLiteral("No line of the project has a BASIC line number.") + stop;
    if (number < place.first)
        return QStringLiteral("BASIC line %1 comes before the program, which starts at line %2.")
            .arg(number)
            .arg(place.first);
    return QStringLiteral("BASIC line %1 is beyond the program, which ends at line %2.")
               .arg(number)
               .arg(place.last) +
           stop;
}

}  // namespace lintrel
