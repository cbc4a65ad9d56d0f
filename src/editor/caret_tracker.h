// Keeps the recorded caret and status panels 0 and 1, and inserts "{}" at
// the caret. Key presses, key releases and mouse releases in the editor
// refresh it; on a key press the key has not acted yet.
#pragma once

#include <QObject>
#include <functional>

#include "editor/workspace.h"

namespace lintrel {

struct RecordedCaret {
    qint64 index = 0;   // end of the selection, from the start of the text
    qint64 line = 0;    // 0-based
    qint64 column = 0;  // 0-based
};

class CaretTracker : public QObject {
    Q_OBJECT
public:
    explicit CaretTracker(const Workspace& workspace);

    // Watches the editor's keys and its viewport's mouse buttons.
    void watchEditor();

    // Records the caret and writes panels 0 and 1.
    void MemoSourceGetPos();
    const RecordedCaret& caret() const { return caret_; }

    // Inserts "{}" at the end of the selection, keeps the selected text, runs
    // `changed` once more and leaves the caret after the "}".
    void Insert1Click(const std::function<void()>& changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Workspace& workspace_;
    RecordedCaret caret_;
};

}  // namespace lintrel
