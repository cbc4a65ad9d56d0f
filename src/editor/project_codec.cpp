#include "editor/project_codec.h"

#include <QTextBlock>
#include <QTextDocument>
#include <array>
#include <cassert>
#include <optional>

#include "text/code_page_1250.h"

namespace lintrel {

namespace {

// Appends one code point, as a surrogate pair where it needs one.
void appendCodePoint(QString& text, char32_t codePoint) {
    if (codePoint < 0x10000) {
        text += QChar(static_cast<char16_t>(codePoint));
    } else {
        text += QString::fromUcs4(&codePoint, 1);
    }
}

QString describeCharacter(char32_t codePoint) {
    const QString hex = QStringLiteral("U+%1").arg(static_cast<uint>(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    QString shown;
    appendCodePoint(shown, codePoint);
    if (QChar::isPrint(codePoint)) return QStringLiteral("\"%1\" (%2)").arg(shown, hex);
    return hex;
}

// Converts one line; on failure returns the offending code point.
std::optional<char32_t> encodeLine(const QString& text, std::string& bytes) {
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const auto byte = unicodeToCodePage1250(codePoint);
        if (!byte) return codePoint;
        bytes += static_cast<char>(*byte);
    }
    return std::nullopt;
}

}  // namespace

QString textFromCodePage1250(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) appendCodePoint(text, codePage1250ToUnicode(static_cast<unsigned char>(byte)));
    return text;
}

// Every byte of the code page stands for one character of the basic plane.
std::array<char16_t, 256> codePageCharacters() {
    std::array<char16_t, 256> characters{};
    for (std::size_t byte = 0; byte < characters.size(); ++byte) {
        const char32_t codePoint = codePage1250ToUnicode(static_cast<unsigned char>(byte));
        assert(codePoint < 0x10000);
        characters[byte] = static_cast<char16_t>(codePoint);
    }
    return characters;
}

// Lines split as splitProjectLines splits them (CR LF, LF or a lone CR; a
// final line break starts no line), in one pass without a copy per line.
QString textFromProjectBytes(std::string_view bytes) {
    static const std::array<char16_t, 256> characters = codePageCharacters();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte != '\r' && byte != '\n') {
            out[length++] = QChar(characters[static_cast<unsigned char>(byte)]);
            continue;
        }
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (i + 1 < bytes.size()) out[length++] = QLatin1Char('\n');
    }
    text.truncate(length);
    return text;
}

EncodedLines encodeDocumentLines(const QTextDocument& document) {
    EncodedLines result;
    result.lines.reserve(static_cast<std::size_t>(document.blockCount()));
    std::string bytes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (const auto bad = encodeLine(block.text(), bytes)) {
            result.error = QStringLiteral("The character %1 in line %2 has no code in code page 1250.")
                               .arg(describeCharacter(*bad))
                               .arg(block.blockNumber() + 1);
            result.lines.clear();
            return result;
        }
        result.lines.push_back(bytes);
    }
    return result;
}

}  // namespace lintrel
