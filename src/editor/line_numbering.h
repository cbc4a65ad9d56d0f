// Keeps the gutter's BASIC line numbers and the labels' places (the outline,
// the marks of references to nothing) current without holding up typing:
// once the text has rested for a moment (and at once when asked, at every
// build), a copy of the text is numbered on a worker thread. A result that a
// newer edit has overtaken is dropped and the count runs again.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>

#include "compiler/label_uses.h"
#include "compiler/line_map.h"

class QPlainTextEdit;

namespace lintrel {

class LineNumbering : public QObject {
    Q_OBJECT
public:
    // removeSpaces: the space option in force, which decides whether a line
    // of spaces makes a program line.
    LineNumbering(QPlainTextEdit* editor, std::function<bool()> removeSpaces);
    ~LineNumbering() override;  // waits for a count that is still running

    void refreshNow();
    // True when the last map was made from the text as it is now.
    bool isCurrent() const { return mapEdit_ == edit_ && !running_; }
    std::shared_ptr<const BasicLineMap> map() const { return map_; }
    std::shared_ptr<const LabelUses> labels() const { return labels_; }

    // Numbers the text as it is now, on the caller's thread.
    BasicLineMap mapNow() const;
    // The labels of the text as it is now: the last result when it is
    // current, else found on the caller's thread.
    std::shared_ptr<const LabelUses> labelsNow() const;

    static constexpr int kRestMs = 40;  // typing pause before a count

signals:
    void mapChanged(std::shared_ptr<const BasicLineMap> map);
    void labelsChanged(std::shared_ptr<const LabelUses> labels);

private:
    void start();
    struct Result {
        std::shared_ptr<const BasicLineMap> map;
        std::shared_ptr<const LabelUses> labels;
    };
    void finish(Result result, quint64 edit);

    QPlainTextEdit* editor_;
    std::function<bool()> removeSpaces_;
    QTimer rest_;
    QThreadPool pool_;
    std::shared_ptr<const BasicLineMap> map_;
    std::shared_ptr<const LabelUses> labels_;
    quint64 edit_ = 0;     // counts the changes of the text
    quint64 mapEdit_ = 0;  // the change the map was made after
    bool running_ = false;
    bool again_ = false;  // a change arrived while counting
};

// The document's lines as code page 1250 bytes, from its raw text (blocks
// separated by U+2029). A character without a byte becomes "?", which the
// numbering treats like any other program text.
std::vector<std::string> linesFromRawText(const QString& raw);

}  // namespace lintrel
