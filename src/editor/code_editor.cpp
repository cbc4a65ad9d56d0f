#include "editor/code_editor.h"

#include <QFontDatabase>
#include <QKeyEvent>
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
    QPlainTextEdit::keyPressEvent(event);
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
