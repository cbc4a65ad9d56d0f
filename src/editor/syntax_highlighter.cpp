#include "editor/syntax_highlighter.h"

#include <algorithm>

#include "editor/line_highlighter.h"

namespace lintrel {

SyntaxHighlighter::SyntaxHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) { applyColours(); }

void SyntaxHighlighter::applyColours() {
    for (std::size_t i = 0; i < formats_.size(); ++i) {
        const Rgb rgb = colours_[i];
        formats_[i].setForeground(QColor(rgb.red, rgb.green, rgb.blue));
    }
}

void SyntaxHighlighter::setColours(const std::array<Rgb, 7>& colours) {
    const auto same = [](const Rgb& a, const Rgb& b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; };
    if (std::equal(colours.begin(), colours.end(), colours_.begin(), same)) return;
    colours_ = colours;
    applyColours();
    rehighlight();
}

void SyntaxHighlighter::highlightBlock(const QString& text) {
    const int length = static_cast<int>(text.size());
    for (const ColourRun& run : highlightLine(text)) {
        if (run.colour == HighlightColour::Black || run.start >= length) continue;  // plain text: the editor's own colour
        setFormat(run.start, std::min(run.length, length - run.start), formats_[static_cast<std::size_t>(run.colour)]);
    }
}

}  // namespace lintrel
