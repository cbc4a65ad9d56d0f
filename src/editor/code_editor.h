// The project editor: a plain-text editor with a gutter (source line numbers
// and the BASIC line numbers the lines become), the caret's line highlighted,
// zoom, colour schemes, Return that keeps the indentation of its line, and
// Tab and Shift+Tab that indent and unindent the selected lines.
#pragma once

#include <QPlainTextEdit>
#include <memory>

#include "compiler/label_uses.h"
#include "compiler/line_map.h"

namespace lintrel {

struct ColourScheme;

class CodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeEditor(QWidget* parent);

    // The gutter's second column; lines from `map->mappedLines` on stay blank.
    void setBasicLineMap(std::shared_ptr<const BasicLineMap> map);
    void setGutterColumns(bool lineNumbers, bool basicLineNumbers);
    bool showsLineNumbers() const { return lineNumbers_; }
    bool showsBasicLineNumbers() const { return basicLineNumbers_; }
    // The two columns of one line as the gutter paints them ("" when blank).
    QString gutterLineNumber(int line) const;
    QString gutterBasicLineNumber(int line) const;
    QWidget* gutter() const { return gutter_; }

    void setCurrentLineHighlight(bool on);
    bool highlightsCurrentLine() const { return currentLine_; }
    void setColourScheme(const ColourScheme& scheme);

    // Percent of the original font size and tab stop, in steps of ten.
    void setZoom(int percent);
    void zoomBy(int steps);
    int zoom() const { return zoom_; }

    // Selects a place the build reported: `length` characters from `column`,
    // or the whole line when the place has no column.
    void selectPlace(int line, int column, int length, bool hasColumn);

    // References to no label are underlined in the warning colour, so an
    // indented "\name" does not pass for a definition.
    void setLabelMarks(std::shared_ptr<const LabelUses> uses);
    // Lines the last build reported: an error or a warning mark in the gutter.
    enum class Mark { None, Warning, Error };
    void setDiagnosticMarks(std::vector<std::pair<int, Mark>> marks);
    Mark diagnosticMark(int line) const;

    void paintGutter(QPaintEvent* event);

signals:
    // Ctrl+click: the caret went to the clicked place; its label's
    // definition is wanted.
    void definitionRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

private:
    void updateGutterWidth();
    void applyLabelMarks();
    void placeGutter();
    int gutterColumnWidth(int digits) const;
    void insertLineKeepingIndent();
    bool spansLines(const QTextCursor& cursor) const;
    void indentLines(bool outward);
    bool moveLabelToFirstColumn();

    QWidget* gutter_ = nullptr;
    std::shared_ptr<const BasicLineMap> map_;
    bool lineNumbers_ = true;
    bool basicLineNumbers_ = true;
    bool currentLine_ = false;
    int zoom_ = 100;
    int wheelRest_ = 0;  // wheel angle not yet spent on a zoom step
    const ColourScheme* scheme_ = nullptr;
    std::shared_ptr<const LabelUses> labelMarks_;
    std::vector<std::pair<int, Mark>> diagnosticMarks_;  // sorted by line
    QPalette desktopSelection_;  // holds the selection colours a scheme of its own replaced
};

}  // namespace lintrel
