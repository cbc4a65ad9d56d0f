#include "editor/find_replace.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

#include "editor/find_dialogs.h"

namespace lintrel {

namespace {

// A stretch of text that the running Replace All has inserted, in character
// indices of the current text.
struct Range {
    int start;
    int end;
};

QTextDocument::FindFlags optionsOf(const SearchDialog& dialog) {
    QTextDocument::FindFlags options;
    if (dialog.wholeWord->isChecked()) options |= QTextDocument::FindWholeWords;
    if (dialog.matchCase->isChecked()) options |= QTextDocument::FindCaseSensitively;
    return options;
}

// The start of the first match at or after from, or -1. No wrap-around.
int findFrom(const QTextDocument* document, const QString& text, int from, QTextDocument::FindFlags options) {
    if (text.isEmpty() || from < 0 || from >= document->characterCount()) return -1;
    const QTextCursor match = document->find(text, from, options);
    return match.isNull() ? -1 : match.selectionStart();
}

void replaceRange(QTextCursor& edit, int start, int end, const QString& text) {
    edit.setPosition(start);
    edit.setPosition(end, QTextCursor::KeepAnchor);
    edit.insertText(text);
}

void showDialog(const SearchDialog& parts) {
    parts.dialog->show();
    parts.dialog->raise();
    parts.dialog->activateWindow();
    parts.findField->setFocus(Qt::OtherFocusReason);
    parts.findField->selectAll();
}

void focusEditor(QPlainTextEdit* editor) {
    editor->activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
}

// One run of searches from `from` to the end of the text, replacing every
// match that does not overlap text this Replace All inserted (so it ends,
// even when the replacement contains the find text). `inserted` is sorted
// and kept up to date; `last` becomes the index behind the last replacement.
// Edits only happen ahead of the ranges not yet passed, so one running shift
// keeps those ranges right without touching each one per edit.
int replacePass(QTextCursor& edit, const QString& findText, const QString& replaceText,
                QTextDocument::FindFlags options, int from, std::vector<Range>& inserted, int& last) {
    const int findLength = static_cast<int>(findText.size());
    const int replaceLength = static_cast<int>(replaceText.size());
    std::vector<Range> passed;
    passed.reserve(inserted.size());
    size_t ahead = 0;
    int shift = 0;
    int replaced = 0;
    int position = from;
    for (;;) {
        const int start = findFrom(edit.document(), findText, position, options);
        if (start < 0) break;
        while (ahead < inserted.size() && inserted[ahead].end + shift <= start) {
            passed.push_back({inserted[ahead].start + shift, inserted[ahead].end + shift});
            ++ahead;
        }
        if (ahead < inserted.size() && inserted[ahead].start + shift < start + findLength) {
            position = inserted[ahead].end + shift;  // every match starting before this overlaps it too
            continue;
        }
        replaceRange(edit, start, start + findLength, replaceText);
        if (replaceLength > 0) passed.push_back({start, start + replaceLength});
        shift += replaceLength - findLength;
        last = start + replaceLength;
        position = start + std::max(findLength, replaceLength);
        ++replaced;
    }
    for (; ahead < inserted.size(); ++ahead)
        passed.push_back({inserted[ahead].start + shift, inserted[ahead].end + shift});
    inserted = std::move(passed);
    return replaced;
}

}  // namespace

struct FindReplace::State {
    QPointer<QPlainTextEdit> editor;
    SearchDialog find;
    SearchDialog replace;
    QPointer<QDialog> findOwned;  // null once the window has deleted it
    QPointer<QDialog> replaceOwned;
    QString findText;
    QString replaceText;
    int position = 0;

    bool hasNoLines() const { return !editor || editor->document()->isEmpty(); }
    bool search(const SearchDialog& optionsFrom);
    void closeDialog();
    void replaceOnce();
    void replaceAll();
};

// FindSearchStart and ReplaceSearchStart: they differ only in the dialog
// whose check boxes give the options. A failed search is silent and leaves
// the selection alone.
bool FindReplace::State::search(const SearchDialog& optionsFrom) {
    if (hasNoLines()) return false;
    const int start = findFrom(editor->document(), findText, position, optionsOf(optionsFrom));
    if (start < 0) {
        position = 0;
        return false;
    }
    focusEditor(editor);
    QTextCursor match = editor->textCursor();
    match.setPosition(start);
    match.setPosition(start + static_cast<int>(findText.size()), QTextCursor::KeepAnchor);
    editor->setTextCursor(match);
    position = start + static_cast<int>(findText.size());
    return true;
}

// FindDialogClose and ReplaceDialogClose.
void FindReplace::State::closeDialog() {
    if (editor) {
        QTextCursor caret = editor->textCursor();
        caret.setPosition(caret.selectionStart());
        editor->setTextCursor(caret);
    }
    position = 0;
}

// Replace acts on whatever is selected, whether or not it is a match.
void FindReplace::State::replaceOnce() {
    if (!editor->textCursor().hasSelection()) search(replace);
    QTextCursor selection = editor->textCursor();
    if (!selection.hasSelection()) return;
    selection.insertText(replaceText);
    editor->setTextCursor(selection);
    search(replace);
}

// The selection first, then every match from the search position to the end,
// then runs from the start until one replaces nothing; all one undo step. The
// runs from the start follow even when nothing lay behind the position, so
// Replace All never leaves a match in the text.
void FindReplace::State::replaceAll() {
    const QTextDocument::FindFlags options = optionsOf(replace);
    QTextCursor edit(editor->document());
    std::vector<Range> inserted;
    int last = -1;
    edit.beginEditBlock();
    const QTextCursor selection = editor->textCursor();
    if (selection.hasSelection()) {
        const int start = selection.selectionStart();
        const int end = start + static_cast<int>(replaceText.size());
        replaceRange(edit, start, selection.selectionEnd(), replaceText);
        if (end > start) inserted.push_back({start, end});
        last = end;
    }
    replacePass(edit, findText, replaceText, options, position, inserted, last);
    while (replacePass(edit, findText, replaceText, options, 0, inserted, last) > 0) {
    }
    edit.endEditBlock();
    position = 0;
    if (last < 0) return;
    focusEditor(editor);
    QTextCursor caret = editor->textCursor();
    caret.setPosition(std::min(last, editor->document()->characterCount() - 1));
    editor->setTextCursor(caret);
}

FindReplace::FindReplace(QPlainTextEdit* editor, QWidget* dialogParent) : QObject(dialogParent), state_(new State) {
    State& s = *state_;
    s.editor = editor;
    s.find = makeFindDialog(dialogParent);
    s.replace = makeReplaceDialog(dialogParent);
    s.findOwned = s.find.dialog;
    s.replaceOwned = s.replace.dialog;

    // FindDialogFind.
    connect(s.find.findNext, &QPushButton::clicked, this, [&s] {
        s.findText = s.find.findField->text();
        s.search(s.find);
    });
    // ReplaceDialogFind.
    connect(s.replace.findNext, &QPushButton::clicked, this, [&s] {
        s.findText = s.replace.findField->text();
        s.replaceText = s.replace.replaceField->text();
        s.search(s.replace);
    });
    // ReplaceDialogReplace, for both buttons.
    const auto replaceClicked = [&s](bool all) {
        s.findText = s.replace.findField->text();
        s.replaceText = s.replace.replaceField->text();
        if (s.hasNoLines()) return;
        if (all)
            s.replaceAll();
        else
            s.replaceOnce();
    };
    connect(s.replace.replace, &QPushButton::clicked, this, [replaceClicked] { replaceClicked(false); });
    connect(s.replace.replaceAll, &QPushButton::clicked, this, [replaceClicked] { replaceClicked(true); });
    connect(s.find.dialog, &QDialog::finished, this, [&s] { s.closeDialog(); });
    connect(s.replace.dialog, &QDialog::finished, this, [&s] { s.closeDialog(); });
}

FindReplace::~FindReplace() {
    // The dialogs belong to this feature, though parented to the window so
    // that they stay beside it; the window may already have deleted them.
    delete state_->findOwned.data();
    delete state_->replaceOwned.data();
    delete state_;
}

void FindReplace::SearchFindExecute() {
    state_->position = 0;
    state_->find.findField->setText(state_->findText);
    showDialog(state_->find);
}

void FindReplace::Replace1Click() {
    state_->position = 0;
    state_->replace.findField->setText(state_->findText);
    state_->replace.replaceField->setText(state_->replaceText);
    showDialog(state_->replace);
}

void FindReplace::SearchFindNextExecute() {
    if (state_->findText.isEmpty())
        showDialog(state_->find);
    else
        state_->search(state_->find);
}

QDialog* FindReplace::findDialog() const { return state_->find.dialog; }
QDialog* FindReplace::replaceDialog() const { return state_->replace.dialog; }
int FindReplace::searchPosition() const { return state_->position; }

}  // namespace lintrel
