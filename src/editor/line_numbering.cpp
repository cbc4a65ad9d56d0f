#include "editor/line_numbering.h"

#include <QPlainTextEdit>

#include "text/code_page_1250.h"

namespace lintrel {

LineNumbering::LineNumbering(QPlainTextEdit* editor, std::function<bool()> removeSpaces)
    : QObject(editor), editor_(editor), removeSpaces_(std::move(removeSpaces)) {
    pool_.setMaxThreadCount(1);
    rest_.setSingleShot(true);
    rest_.setInterval(kRestMs);
    connect(&rest_, &QTimer::timeout, this, &LineNumbering::start);
    // Recolouring reports itself as a change too; counting again then costs
    // only time on the worker.
    connect(editor->document(), &QTextDocument::contentsChange, this, [this] {
        ++edit_;
        rest_.start();
    });
}

LineNumbering::~LineNumbering() {
    pool_.waitForDone();
}

std::vector<std::string> linesFromRawText(const QString& raw) {
    std::vector<std::string> lines(1);
    for (const QChar character : raw) {
        if (character == QChar::ParagraphSeparator) {
            lines.emplace_back();
            continue;
        }
        const auto byte = unicodeToCodePage1250(character.unicode());
        lines.back() += byte ? static_cast<char>(*byte) : '?';
    }
    return lines;
}

BasicLineMap LineNumbering::mapNow() const {
    return mapBasicLines(linesFromRawText(editor_->document()->toRawText()), BuildOptions{removeSpaces_()});
}

std::shared_ptr<const LabelUses> LineNumbering::labelsNow() const {
    if (isCurrent() && labels_) return labels_;
    const std::vector<std::string> lines = linesFromRawText(editor_->document()->toRawText());
    return std::make_shared<const LabelUses>(findLabelUses(lines, BuildOptions{removeSpaces_()}));
}

void LineNumbering::refreshNow() {
    ++edit_;  // the options may have changed even if the text did not
    rest_.stop();
    start();
}

// The copy of the text is the only work done on the window's thread.
void LineNumbering::start() {
    if (running_) {
        again_ = true;
        return;
    }
    running_ = true;
    again_ = false;
    const quint64 edit = edit_;
    const BuildOptions options{removeSpaces_()};
    QString raw = editor_->document()->toRawText();
    pool_.start([this, raw = std::move(raw), options, edit] {
        const std::vector<std::string> lines = linesFromRawText(raw);
        auto map = std::make_shared<const BasicLineMap>(mapBasicLines(lines, options));
        Result result{map, std::make_shared<const LabelUses>(findLabelUses(lines, *map))};
        // Delivered on the window's thread; dropped if this object is gone by then.
        QMetaObject::invokeMethod(
            this, [this, result, edit] { finish(result, edit); }, Qt::QueuedConnection);
    });
}

void LineNumbering::finish(Result result, quint64 edit) {
    running_ = false;
    if (edit == edit_) {
        map_ = std::move(result.map);
        labels_ = std::move(result.labels);
        mapEdit_ = edit;
        emit mapChanged(map_);
        emit labelsChanged(labels_);
        return;
    }
    if (again_ || !rest_.isActive()) start();
}

}  // namespace lintrel
