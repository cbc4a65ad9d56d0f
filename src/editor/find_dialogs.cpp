#include "editor/find_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lintrel {

namespace {

// Only Find Next is pressed by Return: a button that took the focus from a
// click must not make the next Return replace text.
QPushButton* addButton(QVBoxLayout* buttons, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    buttons->addWidget(button);
    return button;
}

QLineEdit* addField(QFormLayout* fields, const char* name, const QString& caption) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    fields->addRow(caption, field);
    return field;
}

// The search buttons make no sense without a find text, as in the system's
// own find dialogs.
void enableWithFindText(const SearchDialog& parts) {
    for (QPushButton* button : {parts.findNext, parts.findPrevious, parts.replace, parts.replaceAll}) {
        if (!button) continue;
        button->setEnabled(false);
        QObject::connect(parts.findField, &QLineEdit::textChanged, button,
                         [button](const QString& text) { button->setEnabled(!text.isEmpty()); });
    }
}

SearchDialog makeDialog(QWidget* parent, const QString& title, bool withReplace) {
    SearchDialog parts;
    parts.dialog = new QDialog(parent);
    parts.dialog->setObjectName(withReplace ? QStringLiteral("replaceDialog") : QStringLiteral("findDialog"));
    parts.dialog->setWindowTitle(title);
    parts.dialog->setModal(false);

    auto* fields = new QFormLayout;
    parts.findField = addField(fields, "findText", QStringLiteral("Find what:"));
    if (withReplace) parts.replaceField = addField(fields, "replaceText", QStringLiteral("Replace with:"));

    parts.wholeWord = new QCheckBox(QStringLiteral("Whole word"));
    parts.wholeWord->setObjectName(QStringLiteral("wholeWord"));
    parts.matchCase = new QCheckBox(QStringLiteral("Match case"));
    parts.matchCase->setObjectName(QStringLiteral("matchCase"));
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(parts.wholeWord);
    left->addWidget(parts.matchCase);
    if (withReplace) {
        parts.inSelection = new QCheckBox(QStringLiteral("In selection"));
        parts.inSelection->setObjectName(QStringLiteral("inSelection"));
        left->addWidget(parts.inSelection);
    }
    parts.feedback = new QLabel;
    parts.feedback->setObjectName(QStringLiteral("feedback"));
    left->addWidget(parts.feedback);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    parts.findNext = addButton(buttons, "findNext", QStringLiteral("Find &Next"));
    parts.findNext->setDefault(true);
    parts.findPrevious = addButton(buttons, "findPrevious", QStringLiteral("Find &Previous"));
    if (withReplace) {
        parts.replace = addButton(buttons, "replace", QStringLiteral("&Replace"));
        parts.replaceAll = addButton(buttons, "replaceAll", QStringLiteral("Replace &All"));
    }
    QPushButton* close = addButton(buttons, "close", QStringLiteral("Close"));
    QObject::connect(close, &QPushButton::clicked, parts.dialog, &QDialog::reject);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(parts.dialog);
    layout->addLayout(left);
    layout->addLayout(buttons);
    enableWithFindText(parts);
    return parts;
}

}  // namespace

SearchDialog makeFindDialog(QWidget* parent) { return makeDialog(parent, QStringLiteral("Find"), false); }

SearchDialog makeReplaceDialog(QWidget* parent) { return makeDialog(parent, QStringLiteral("Replace"), true); }

}  // namespace lintrel
