#include "editor/code_editor.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <algorithm>

#include "editor/colour_schemes.h"

namespace lintrel {

namespace {

constexpr int kFontPixels = 19;
constexpr double kTabStopPoints = 100.0;
constexpr int kZoomStep = 10;      // percent per step
constexpr int kWheelStep = 120;    // one notch of a mouse wheel
constexpr int kGutterPadding = 6;  // pixels left and right of each column
constexpr int kMarkWidth = 4;      // the error or warning bar at the gutter's left edge
constexpr std::size_t kMostLabelMarks = 10000;  // beyond this many, the rest stay unmarked

QColor colour(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont editorFont(int pixels) {
    QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                     ? QFont(QStringLiteral("Courier New"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

int digitCount(long long number) {
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

class Gutter : public QWidget {
public:
    explicit Gutter(CodeEditor* editor) : QWidget(editor), editor_(editor) {
        setObjectName(QStringLiteral("Gutter"));
    }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }

private:
    CodeEditor* editor_;
};

}  // namespace

CodeEditor::CodeEditor(QWidget* parent) : QPlainTextEdit(parent), gutter_(new Gutter(this)) {
    setObjectName(QStringLiteral("MemoSource"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setColourScheme(colourScheme(ColourSchemeId::Classic));
    setZoom(100);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            gutter_->scroll(0, dy);
        else
            gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    });
    // The highlighted line and the gutter's bold number follow the caret.
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (currentLine_) viewport()->update();
        gutter_->update();
    });
    updateGutterWidth();
}

void CodeEditor::setBasicLineMap(std::shared_ptr<const BasicLineMap> map) {
    map_ = std::move(map);
    updateGutterWidth();
    gutter_->update();
}

void CodeEditor::setGutterColumns(bool lineNumbers, bool basicLineNumbers) {
    lineNumbers_ = lineNumbers;
    basicLineNumbers_ = basicLineNumbers;
    updateGutterWidth();
    gutter_->update();
}

QString CodeEditor::gutterLineNumber(int line) const {
    return line >= 0 && line < blockCount() ? QString::number(line + 1) : QString();
}

QString CodeEditor::gutterBasicLineNumber(int line) const {
    if (!map_ || line < 0 || line >= map_->mappedLines) return {};
    const long long number = map_->numbers[static_cast<std::size_t>(line)];
    return number == kNoBasicLine ? QString() : QString::number(number);
}

int CodeEditor::gutterColumnWidth(int digits) const {
    return fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('9'))) + 2 * kGutterPadding;
}

void CodeEditor::updateGutterWidth() {
    int width = 0;
    if (lineNumbers_) width += gutterColumnWidth(std::max(3, digitCount(blockCount())));
    if (basicLineNumbers_) {
        long long largest = 0;
        if (map_) {
            for (int line = map_->mappedLines - 1; line >= 0 && largest == 0; --line)
                largest = std::max(0LL, map_->numbers[static_cast<std::size_t>(line)]);
        }
        width += gutterColumnWidth(std::max(5, digitCount(largest)));
    }
    if (width == gutter_->width() && viewportMargins().left() == width) return;
    setViewportMargins(width, 0, 0, 0);
    placeGutter();
}

void CodeEditor::placeGutter() {
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), viewportMargins().left(), viewport()->height());
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    placeGutter();
}

void CodeEditor::paintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), colour(scheme_->gutterBackground));
    QFont plain = font();
    plain.setBold(false);
    const int lineWidth = lineNumbers_ ? gutterColumnWidth(std::max(3, digitCount(blockCount()))) : 0;
    const int current = textCursor().blockNumber();
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber();
            QFont face = plain;
            face.setBold(line == current);
            painter.setFont(face);
            const QRectF cell(0, top, lineWidth - kGutterPadding, height);
            if (const Mark mark = diagnosticMark(line); mark != Mark::None)
                painter.fillRect(QRectF(0, top, kMarkWidth, height),
                                 colour(mark == Mark::Error ? scheme_->error : scheme_->warning));
            painter.setPen(colour(scheme_->gutterText));
            if (lineNumbers_)
                painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, gutterLineNumber(line));
            painter.setPen(colour(scheme_->gutterBasic));
            if (basicLineNumbers_) {
                const QRectF basic(lineWidth, top, gutter_->width() - lineWidth - kGutterPadding, height);
                painter.drawText(basic, Qt::AlignRight | Qt::AlignVCenter, gutterBasicLineNumber(line));
            }
        }
        top += height;
        block = block.next();
    }
}

void CodeEditor::setLabelMarks(std::shared_ptr<const LabelUses> uses) {
    labelMarks_ = std::move(uses);
    applyLabelMarks();
}

void CodeEditor::applyLabelMarks() {
    QList<QTextEdit::ExtraSelection> marks;
    if (labelMarks_) {
        QTextCharFormat format;
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(colour(scheme_->warning));
        for (const LabelUse& use : labelMarks_->uses) {
            if (use.label >= 0 || use.definition) continue;
            const QTextBlock block = document()->findBlockByNumber(use.line);
            if (!block.isValid() || use.column + use.length > block.length()) continue;
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + use.column);
            cursor.setPosition(block.position() + use.column + use.length, QTextCursor::KeepAnchor);
            marks.append({cursor, format});
            if (static_cast<std::size_t>(marks.size()) == kMostLabelMarks) break;
        }
    }
    setExtraSelections(marks);
}

void CodeEditor::setDiagnosticMarks(std::vector<std::pair<int, Mark>> marks) {
    std::sort(marks.begin(), marks.end());
    diagnosticMarks_ = std::move(marks);
    gutter_->update();
}

// The stronger mark where a line has both.
CodeEditor::Mark CodeEditor::diagnosticMark(int line) const {
    auto it = std::lower_bound(diagnosticMarks_.begin(), diagnosticMarks_.end(), std::pair(line, Mark::None));
    Mark mark = Mark::None;
    for (; it != diagnosticMarks_.end() && it->first == line; ++it) mark = std::max(mark, it->second);
    return mark;
}

void CodeEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        setTextCursor(cursorForPosition(event->position().toPoint()));
        emit definitionRequested();
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void CodeEditor::setCurrentLineHighlight(bool on) {
    currentLine_ = on;
    viewport()->update();
}

// The viewport fills itself with the background before this runs, and the
// text does not paint over it, so the line's band goes in first.
void CodeEditor::paintEvent(QPaintEvent* event) {
    if (currentLine_) {
        QPainter painter(viewport());
        const QTextBlock block = textCursor().block();
        QRectF band = blockBoundingGeometry(block).translated(contentOffset());
        band.setLeft(0);
        band.setWidth(viewport()->width());
        painter.fillRect(band.intersected(QRectF(event->rect())), colour(scheme_->currentLine));
    }
    QPlainTextEdit::paintEvent(event);
}

// A scheme with its own selection colours keeps the ones it replaces, so
// that the next scheme without can give them back; otherwise the selection
// colours are left as they are.
void CodeEditor::setColourScheme(const ColourScheme& scheme) {
    QPalette palette = this->palette();
    const bool hadOwn = scheme_ && scheme_->ownSelection;
    if (scheme.ownSelection && !hadOwn) desktopSelection_ = palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, colour(scheme.background));
        palette.setColor(group, QPalette::Text, colour(scheme.tokens[0]));
        if (scheme.ownSelection) {
            palette.setColor(group, QPalette::Highlight, colour(scheme.selection));
            palette.setColor(group, QPalette::HighlightedText, colour(scheme.selectedText));
        } else if (hadOwn) {
            palette.setColor(group, QPalette::Highlight, desktopSelection_.color(group, QPalette::Highlight));
            palette.setColor(group, QPalette::HighlightedText,
                             desktopSelection_.color(group, QPalette::HighlightedText));
        }
    }
    scheme_ = &scheme;
    setPalette(palette);
    if (labelMarks_) applyLabelMarks();
    viewport()->update();
    gutter_->update();
}

void CodeEditor::setZoom(int percent) {
    zoom_ = std::clamp(percent, Options::kMinimumZoom, Options::kMaximumZoom);
    setFont(editorFont(std::max(1, (kFontPixels * zoom_ + 50) / 100)));
    setTabStopDistance(kTabStopPoints * logicalDpiX() / 72.0 * zoom_ / 100.0);
    updateGutterWidth();
}

void CodeEditor::zoomBy(int steps) {
    setZoom(zoom_ + steps * kZoomStep);
}

void CodeEditor::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QPlainTextEdit::wheelEvent(event);
        return;
    }
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / kWheelStep;
    wheelRest_ -= steps * kWheelStep;
    if (steps != 0) zoomBy(steps);
    event->accept();
}

void CodeEditor::keyPressEvent(QKeyEvent* event) {
    const bool plainReturn =
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plainReturn && !isReadOnly()) {
        insertLineKeepingIndent();
        event->accept();
        return;
    }
    const bool plainTab = event->key() == Qt::Key_Tab && !(event->modifiers() & ~Qt::KeypadModifier);
    if (!isReadOnly() && ((plainTab && spansLines(textCursor())) || event->key() == Qt::Key_Backtab)) {
        indentLines(event->key() == Qt::Key_Backtab);
        event->accept();
        return;
    }
    if (!isReadOnly() && event->text() == QLatin1String("\\") && moveLabelToFirstColumn()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// A selection that reaches into a second line: Tab then works on the lines,
// never replaces them by one TAB.
bool CodeEditor::spansLines(const QTextCursor& cursor) const {
    if (!cursor.hasSelection()) return false;
    return document()->findBlock(cursor.selectionStart()) != document()->findBlock(cursor.selectionEnd());
}

// One TAB in front of every selected line, or one leading TAB (or up to four
// leading spaces) taken from each.
// A selection that ends at a line's start leaves that line alone. One undo step.
void CodeEditor::indentLines(bool outward) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    QTextBlock first = document()->findBlock(start);
    QTextBlock last = document()->findBlock(end);
    if (last != first && end == last.position()) last = last.previous();
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        edit.setPosition(block.position());
        if (!outward) {
            edit.insertText(QStringLiteral("\t"));
        } else {
            const QString text = block.text();
            int remove = text.startsWith(QLatin1Char('\t')) ? 1 : 0;
            if (remove == 0) {
                while (remove < 4 && remove < text.size() && text[remove] == QLatin1Char(' ')) ++remove;
            }
            edit.setPosition(block.position() + remove, QTextCursor::KeepAnchor);
            edit.removeSelectedText();
        }
        if (block == last) break;
    }
    edit.endEditBlock();
    // The selection covers the whole lines it touched, so a second Tab works on the same lines.
    if (first != last || cursor.hasSelection()) {
        cursor.setPosition(first.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }
}

// "\" typed on a line that holds nothing but TABs and spaces (the indent
// that Return carried over) begins a label definition, which only the first
// column makes: the indent goes. One undo step.
bool CodeEditor::moveLabelToFirstColumn() {
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) return false;
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    if (text.isEmpty() || cursor.positionInBlock() != text.size()) return false;
    for (const QChar c : text) {
        if (c != QLatin1Char('\t') && c != QLatin1Char(' ')) return false;
    }
    cursor.beginEditBlock();
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("\\"));
    cursor.endEditBlock();
    setTextCursor(cursor);
    return true;
}

// The new line starts with the TABs and spaces that open the line the caret
// leaves, as far as they lie before the caret. One undo step.
void CodeEditor::insertLineKeepingIndent() {
    QTextCursor cursor = textCursor();
    const QTextBlock block = document()->findBlock(cursor.selectionStart());
    const QString before = block.text().left(cursor.selectionStart() - block.position());
    qsizetype indent = 0;
    while (indent < before.size() &&
           (before[indent] == QLatin1Char('\t') || before[indent] == QLatin1Char(' ')))
        ++indent;
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.insertText(before.left(indent));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// Dropped files are opened by the window, never typed into the text.
bool CodeEditor::canInsertFromMimeData(const QMimeData* source) const {
    return !source->hasUrls() && QPlainTextEdit::canInsertFromMimeData(source);
}

void CodeEditor::selectPlace(int line, int column, int length, bool hasColumn) {
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid()) return;
    const int lineLength = static_cast<int>(block.text().size());
    const int start = hasColumn ? std::clamp(column, 0, lineLength) : 0;
    const int end = hasColumn ? std::clamp(column + length, start, lineLength) : lineLength;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
    setFocus();
}

}  // namespace lintrel
