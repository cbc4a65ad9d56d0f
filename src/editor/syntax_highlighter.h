// Applies the line highlighter to every line the document reflows. Colouring
// is layout only: it never edits the text, so it never marks it unsaved.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

#include "editor/line_highlighter.h"

namespace lintrel {

class SyntaxHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Attach it while the document is still empty: attaching to text schedules
    // a whole-text pass that Qt reports as a text change.
    explicit SyntaxHighlighter(QTextDocument* document);

    // The colours of a scheme, indexed by HighlightColour; recolours the
    // whole text when they differ from the ones in use.
    void setColours(const std::array<Rgb, 7>& colours);

protected:
    void highlightBlock(const QString& text) override;

private:
    void applyColours();

    std::array<Rgb, 7> colours_ = kHighlightRgb;
    std::array<QTextCharFormat, 7> formats_;
};

}  // namespace lintrel
