// Applies the line highlighter to every line the document reflows. Colouring
// is layout only: it never edits the text, so it never marks it unsaved.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

namespace lintrel {

class SyntaxHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Attach it while the document is still empty: attaching to text schedules
    // a whole-text pass that Qt reports as a text change.
    explicit SyntaxHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    std::array<QTextCharFormat, 7> formats_;
};

}  // namespace lintrel
