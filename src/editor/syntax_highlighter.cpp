#include "editor/syntax_highlighter.h"

#include <algorithm>

#include "editor/line_highlighter.h"

namespace lintrel {

SyntaxHighlighter::SyntaxHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    for (std::size_t i = 0; i < formats_.size(); ++i) {
        const Rgb rgb = kHighlightRgb[i];
        formats_[i].setForeground(QColor(rgb.red, rgb.green, rgb.blue));
    }
}

void SyntaxHighlighter::highlightBlock(const QString& text) {
    const int length = static_cast<int>(text.size());
    for (const ColourRun& run : highlightLine(text)) {
        if (run.colour == HighlightColour::Black || run.start >= length) continue;  // black is the default
        setFormat(run.start, std::min(run.length, length - run.start), formats_[static_cast<std::size_t>(run.colour)]);
    }
}

}  // namespace lintrel
