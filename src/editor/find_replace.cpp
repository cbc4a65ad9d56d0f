// Placeholder so the window links; the real dialogs replace this file.
#include "editor/find_replace.h"

#include <QWidget>

namespace lintrel {

struct FindReplace::State {};

FindReplace::FindReplace(QPlainTextEdit*, QWidget* dialogParent) : QObject(dialogParent), state_(new State) {}
FindReplace::~FindReplace() { delete state_; }
void FindReplace::SearchFindExecute() {}
void FindReplace::Replace1Click() {}
void FindReplace::SearchFindNextExecute() {}

}  // namespace lintrel
