// Between project file bytes (code page 1250, CR LF) and the editor's text.
// Every byte value survives a load and a save; a character that has no byte
// in the code page is refused, never replaced.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QTextDocument;

namespace lintrel {

// The file's lines as editor text, joined with "\n".
QString textFromProjectBytes(std::string_view bytes);

struct EncodedLines {
    std::vector<std::string> lines;  // one per editor line, code page 1250 bytes
    QString error;                   // names the first character without a byte, and its line
    bool ok() const { return error.isEmpty(); }
};

// The document's lines as bytes. Reads the blocks' raw text, because the
// document's plain-text view turns a no-break space (byte A0) into a blank.
EncodedLines encodeDocumentLines(const QTextDocument& document);

// Code page 1250 bytes (a build message) as text.
QString textFromCodePage1250(std::string_view bytes);

}  // namespace lintrel
