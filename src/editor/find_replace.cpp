#include "editor/find_replace.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

#include "editor/find_dialogs.h"

namespace lintrel {

namespace {

// A match in character indices of the text it was found in.
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

// The first match at or after from; start -1 when there is none. No wrap-around.
Range findFrom(const QTextDocument* document, const QString& text, int from, QTextDocument::FindFlags options) {
    if (text.isEmpty() || from < 0 || from >= document->characterCount()) return {-1, -1};
    const QTextCursor match = document->find(text, from, options);
    if (match.isNull()) return {-1, -1};
    return {match.selectionStart(), match.selectionEnd()};
}

// The last match that starts before `before`; start -1 when there is none.
Range findBefore(const QTextDocument* document, const QString& text, int before, QTextDocument::FindFlags options) {
    if (text.isEmpty() || before <= 0) return {-1, -1};
    const QTextCursor match = document->find(text, before, options | QTextDocument::FindBackward);
    if (match.isNull()) return {-1, -1};
    return {match.selectionStart(), match.selectionEnd()};
}

// Every match within [from, to), left to right, none overlapping the one before.
std::vector<Range> findAll(const QTextDocument* document, const QString& text, QTextDocument::FindFlags options,
                           int from, int to) {
    std::vector<Range> matches;
    for (Range match = findFrom(document, text, from, options); match.start >= 0 && match.end <= to;
         match = findFrom(document, text, match.end, options))
        matches.push_back(match);
    return matches;
}

// A match must be seen: a dialog over it moves above or below it.
void keepClear(QWidget* dialog, QPlainTextEdit* editor) {
    if (!dialog->isVisible()) return;
    const QRect match(editor->viewport()->mapToGlobal(editor->cursorRect().topLeft()),
                      editor->cursorRect().size() + QSize(editor->cursorRect().height(), 0));
    QRect frame = dialog->frameGeometry();
    if (!frame.intersects(match.adjusted(-editor->width(), 0, editor->width(), 0))) return;
    const int above = match.top() - frame.height() - 8;
    frame.moveTop(above >= 0 ? above : match.bottom() + 8);
    dialog->move(frame.topLeft());
}

void replaceRange(QTextCursor& edit, int start, int end, const QString& text) {
    edit.setPosition(start);
    edit.setPosition(end, QTextCursor::KeepAnchor);
    edit.insertText(text);
}

void showDialog(const SearchDialog& parts) {
    parts.feedback->clear();
    parts.dialog->show();
    parts.dialog->raise();
    parts.dialog->activateWindow();
    parts.findField->setFocus(Qt::OtherFocusReason);
    parts.findField->selectAll();
}

// The dialog keeps the focus while it searches, so the editor must show its
// selection as clearly without the focus as with it.
void showSelectionWithoutFocus(QPlainTextEdit* editor) {
    QPalette palette = editor->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
    editor->setPalette(palette);
}

}  // namespace

struct FindReplace::State {
    FindReplace* owner = nullptr;
    QPointer<QPlainTextEdit> editor;
    SearchDialog find;
    SearchDialog replace;
    QPointer<QDialog> findOwned;  // null once the window has deleted it
    QPointer<QDialog> replaceOwned;
    QString findText;
    QString replaceText;
    int position = 0;

    bool hasNoLines() const { return !editor || editor->document()->isEmpty(); }
    bool search(const SearchDialog& from);
    bool searchBack(const SearchDialog& from);
    void startWithSelection(const SearchDialog& dialog);
    void select(int start, int end);
    bool selectionIsMatch() const;
    void closeDialog();
    void replaceOnce();
    void replaceAll();
};

// FindSearchStart and ReplaceSearchStart: they differ only in the dialog
// whose check boxes give the options. A failed search leaves the selection
// alone and says so in the dialog. The focus stays where it is, so Return
// in the dialog finds the next match.
bool FindReplace::State::search(const SearchDialog& from) {
    if (hasNoLines()) return false;
    const Range match = findFrom(editor->document(), findText, position, optionsOf(from));
    if (match.start < 0) {
        position = 0;
        from.feedback->setText(QStringLiteral("Not found"));
        return false;
    }
    from.feedback->clear();
    select(match.start, match.end);
    position = match.end;
    return true;
}

// Find Previous: the match before the selection; the next Find Next goes
// on after it.
bool FindReplace::State::searchBack(const SearchDialog& from) {
    if (hasNoLines()) return false;
    const Range match = findBefore(editor->document(), findText, editor->textCursor().selectionStart(), optionsOf(from));
    if (match.start < 0) {
        from.feedback->setText(QStringLiteral("Not found"));
        return false;
    }
    from.feedback->clear();
    select(match.start, match.end);
    position = match.end;
    return true;
}

// A selection within one line is what the user wants to find.
void FindReplace::State::startWithSelection(const SearchDialog& dialog) {
    const QString selected = editor ? editor->textCursor().selectedText() : QString();
    // A match of the last search keeps the text as the user typed it.
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
        selected.compare(findText, Qt::CaseInsensitive) != 0)
        findText = selected;
    dialog.findField->setText(findText);
}

void FindReplace::State::select(int start, int end) {
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
    keepClear(find.dialog, editor);
    keepClear(replace.dialog, editor);
    emit owner->caretMoved();
}

// Whether the selection is exactly a match of the find text under the
// replace dialog's options.
bool FindReplace::State::selectionIsMatch() const {
    const QTextCursor selection = editor->textCursor();
    if (!selection.hasSelection()) return false;
    const Range match = findFrom(editor->document(), findText, selection.selectionStart(), optionsOf(replace));
    return match.start == selection.selectionStart() && match.end == selection.selectionEnd();
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

// Only a match is replaced; with anything else selected the next match is
// searched first. The next search starts behind the inserted text.
void FindReplace::State::replaceOnce() {
    if (!selectionIsMatch() && !search(replace)) return;
    QTextCursor selection = editor->textCursor();
    const int start = selection.selectionStart();
    selection.insertText(replaceText);
    editor->setTextCursor(selection);
    position = start + static_cast<int>(replaceText.size());
    if (!search(replace)) emit owner->caretMoved();
}

// Exactly the matches of the text as it was when the button was pressed, so
// text joined by a deletion or brought in by the replacement is never taken
// again; all one undo step, the caret behind the last replacement.
// In selection: the matches inside the selection only, which afterwards
// covers the replaced text, so a second Replace All works on the same part.
void FindReplace::State::replaceAll() {
    const QTextCursor selection = editor->textCursor();
    const bool inSelection = replace.inSelection->isChecked() && selection.hasSelection();
    const int from = inSelection ? selection.selectionStart() : 0;
    const int to = inSelection ? selection.selectionEnd() : editor->document()->characterCount();
    const std::vector<Range> matches = findAll(editor->document(), findText, optionsOf(replace), from, to);
    position = 0;
    replace.feedback->setText(QStringLiteral("%1 replaced").arg(matches.size()));
    if (matches.empty()) return;
    QTextCursor edit(editor->document());
    edit.beginEditBlock();
    for (auto match = matches.rbegin(); match != matches.rend(); ++match)
        replaceRange(edit, match->start, match->end, replaceText);
    edit.endEditBlock();
    int growth = 0;
    for (const Range& match : matches) growth += static_cast<int>(replaceText.size()) - (match.end - match.start);
    if (inSelection) {
        select(from, to + growth);
        return;
    }
    const int last = matches.back().end + growth;
    select(last, last);
}

FindReplace::FindReplace(QPlainTextEdit* editor, QWidget* dialogParent) : QObject(dialogParent), state_(new State) {
    State& s = *state_;
    s.owner = this;
    s.editor = editor;
    showSelectionWithoutFocus(editor);
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
    // Find Previous in either dialog.
    for (SearchDialog* dialog : {&s.find, &s.replace}) {
        connect(dialog->findPrevious, &QPushButton::clicked, this, [&s, dialog] {
            s.findText = dialog->findField->text();
            if (dialog->replaceField) s.replaceText = dialog->replaceField->text();
            s.searchBack(*dialog);
        });
    }
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
    state_->startWithSelection(state_->find);
    showDialog(state_->find);
}

// A selection over several lines is where Replace All is meant to work.
void FindReplace::Replace1Click() {
    state_->position = 0;
    const QString selected = state_->editor ? state_->editor->textCursor().selectedText() : QString();
    state_->replace.inSelection->setChecked(selected.contains(QChar::ParagraphSeparator));
    state_->startWithSelection(state_->replace);
    state_->replace.replaceField->setText(state_->replaceText);
    showDialog(state_->replace);
}

void FindReplace::SearchFindPreviousExecute() {
    if (state_->findText.isEmpty())
        showDialog(state_->find);
    else
        state_->searchBack(state_->find);
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
