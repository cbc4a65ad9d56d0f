// The two modeless search dialogs, Find and Replace. They only hold widgets;
// what the buttons do lives in FindReplace.
#pragma once

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lintrel {

// The widgets of one dialog. The replace-only members are null in the find
// dialog.
struct SearchDialog {
    QDialog* dialog = nullptr;
    QLineEdit* findField = nullptr;     // objectName "findText"
    QLineEdit* replaceField = nullptr;  // "replaceText"
    QCheckBox* wholeWord = nullptr;     // "wholeWord"
    QCheckBox* matchCase = nullptr;     // "matchCase"
    QPushButton* findNext = nullptr;    // "findNext"
    QPushButton* findPrevious = nullptr;  // "findPrevious"
    QCheckBox* inSelection = nullptr;   // "inSelection": Replace All works in the selection only
    QPushButton* replace = nullptr;     // "replace"
    QPushButton* replaceAll = nullptr;  // "replaceAll"
    QLabel* feedback = nullptr;         // "feedback": "Not found", "N replaced" or empty
};

// Dialogs owned by parent, hidden until shown, never modal. Return runs Find
// Next whichever of the dialog's widgets has the focus.
SearchDialog makeFindDialog(QWidget* parent);
SearchDialog makeReplaceDialog(QWidget* parent);

}  // namespace lintrel
